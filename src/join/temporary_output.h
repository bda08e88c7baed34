#pragma once
// The name a normal join writes under until its last byte is written: beside the output,
// so that taking the output's name is a rename on the same disk, and named so that a user
// who finds one left by a crash knows what it is, and no sibling search takes it for a part.

#include <string>
#include <string_view>
#include <vector>

namespace mendlet {

// What a file being joined is called after the output's own name.
inline constexpr std::wstring_view TEMPORARY_OUTPUT_SUFFIX = L".mendlet-unfinished";

// The names to try, in order: the output's path with the suffix (names_beside), then a
// short one in the same folder, the same for the same output name.
std::vector<std::wstring> temporary_output_paths(std::wstring_view output_path);

// The first of them.
std::wstring temporary_output_path(std::wstring_view output_path);

}  // namespace mendlet
