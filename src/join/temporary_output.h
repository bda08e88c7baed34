#pragma once
// The name a normal join writes under until its last byte is written: beside the output,
// so that taking the output's name is a rename on the same disk, and named so that a user
// who finds one left by a crash knows what it is, and no sibling search takes it for a part.

#include <string>
#include <string_view>

namespace mendlet {

// What a file being joined is called after the output's own name.
inline constexpr std::wstring_view TEMPORARY_OUTPUT_SUFFIX = L".mendlet-unfinished";

// The output's path with the suffix; a file name that would grow beyond what file systems
// take (255 characters) is cut before the suffix.
std::wstring temporary_output_path(std::wstring_view output_path);

}  // namespace mendlet
