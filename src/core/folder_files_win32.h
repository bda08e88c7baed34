#pragma once
// The files of one folder on disk, as the checksum and recovery files beside a set are
// looked for.

#include <string>
#include <string_view>
#include <vector>

namespace mendlet {

// The folder's path and a name in it, with one '\' between them.
std::wstring path_in_folder(std::wstring_view folder, std::wstring_view name);

// The names of the files it holds (not of its folders), in the order it lists them; none
// when it cannot be listed.
std::vector<std::wstring> file_names_in(const std::wstring& folder);

}  // namespace mendlet
