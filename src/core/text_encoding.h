#pragma once
// Conversions between the program's wide strings and the code units that files store:
// UTF-16, and UTF-8 read from files that other programs wrote. On Windows wide characters
// are UTF-16 units; elsewhere they are whole code points.

#include <optional>
#include <string>
#include <string_view>

namespace mendlet {

std::u16string to_utf16(std::wstring_view text);
std::wstring from_utf16(std::u16string_view units);

// None unless the bytes are UTF-8 in its shortest form, without surrogates and up to
// U+10FFFF: text read another way would name files that do not exist, or the wrong ones.
std::optional<std::wstring> decode_utf8(std::string_view bytes);
// Whether decode_utf8 would decode the bytes, found without decoding them.
bool is_utf8(std::string_view bytes);

// Text in the system's ANSI code page, as Windows programs write it when they do not write
// Unicode. Elsewhere Latin-1 stands in for that code page.
std::wstring from_ansi_code_page(std::string_view bytes);

}  // namespace mendlet
