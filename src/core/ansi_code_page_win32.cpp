#include <windows.h>

#include "core/text_encoding.h"

namespace mendlet {

std::wstring from_ansi_code_page(std::string_view bytes) {
    if (bytes.empty()) return {};
    // Checksum files are read 1 MiB at most, well within an int.
    const int length = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(units), L'\0');
    if (units > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), units);
    return text;
}

}  // namespace mendlet
