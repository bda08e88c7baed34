#include "digest/hex_text.h"

namespace mendlet {

std::string hex_text(const std::uint8_t* bytes, std::size_t length) {
    static constexpr char HEX[] = "0123456789abcdef";
    std::string text(2 * length, '0');
    for (std::size_t i = 0; i < length; ++i) {
        text[2 * i] = HEX[bytes[i] >> 4];
        text[2 * i + 1] = HEX[bytes[i] & 0x0Fu];
    }
    return text;
}

}  // namespace mendlet
