#pragma once
// The part paths given on the command line after the program's name.

#include <string>
#include <string_view>
#include <vector>

namespace mendlet {

// Each argument is either quoted (the quotes dropped) or ends at a blank. A quoted argument
// without its closing quote ends the list; runs of blanks and empty quotes give nothing.
std::vector<std::wstring> command_line_paths(std::wstring_view command_line);

}  // namespace mendlet
