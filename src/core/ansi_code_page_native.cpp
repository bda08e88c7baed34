#include "core/text_encoding.h"

namespace mendlet {

// Latin-1: each byte is the code point of its value.
std::wstring from_ansi_code_page(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (const char byte : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    return text;
}

}  // namespace mendlet
