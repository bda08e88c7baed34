#pragma once
// Names for a file written beside another before it takes that file's place or name: the
// other's name with a suffix, which says what the file is, and a short name in the same
// folder for when the long one is refused. Windows' folders take 255 UTF-16 units in a name;
// Linux folders, and shares served from them, 255 bytes of UTF-8, so that a name of 118
// Cyrillic letters leaves room for no suffix.

#include <string>
#include <string_view>
#include <vector>

namespace mendlet {

// The longest file name that any folder takes, in UTF-16 units.
inline constexpr std::size_t LONGEST_FILE_NAME = 255;

// The path with the suffix, its name cut before the suffix, between whole characters, where
// it would grow beyond LONGEST_FILE_NAME; then short_name in the same folder.
std::vector<std::wstring> names_beside(std::wstring_view path, std::wstring_view suffix, std::wstring_view short_name);

// The path of a copy beside the file, numbered as Windows numbers copies: "x (2).bin" for
// "x.bin", "x (2)" for a name without an extension (a first dot is no extension's).
std::wstring numbered_copy(std::wstring_view path, unsigned number);

}  // namespace mendlet
