#pragma once
// Conversions between the program's wide strings and UTF-16 code units, which files store.
// On Windows both are the same units; elsewhere wide characters are whole code points.

#include <string>
#include <string_view>

namespace mendlet {

std::u16string to_utf16(std::wstring_view text);
std::wstring from_utf16(std::u16string_view units);

}  // namespace mendlet
