#pragma once
// Comparisons of paths and file names; only the sign of a result counts. Windows builds use
// the system's own comparisons, other builds stand-ins.

#include <string_view>

namespace mendlet {

// Case-sensitive and locale-aware, for sorting paths as users read them.
int compare_paths(const wchar_t* a, const wchar_t* b);

// Without regard to case and character by character, as the file system tells names apart.
// Every character counts, NUL included.
int compare_names_ignoring_case(std::wstring_view a, std::wstring_view b);

}  // namespace mendlet
