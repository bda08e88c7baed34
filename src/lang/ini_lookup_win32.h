#pragma once
// Reads language-file values with the system's INI reader, which takes UTF-16 files with a
// byte-order mark as well as files in the system code page.

#include <string>

#include "lang/text_table.h"

namespace mendlet {

TextLookup ini_file_lookup(std::wstring file_path);

}  // namespace mendlet
