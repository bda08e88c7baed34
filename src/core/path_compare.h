#pragma once
// Case-sensitive, locale-aware three-way comparison of two paths; only the sign counts.
// Windows builds use the system's own comparison, other builds a stand-in.

namespace mendlet {

int compare_paths(const wchar_t* a, const wchar_t* b);

}  // namespace mendlet
