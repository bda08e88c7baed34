#pragma once
// The folder listing that a first part's siblings are chosen from (siblings.h), read from
// the real file system.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gather/siblings.h"

namespace mendlet {

// A listed file's size, or SIZE_NOT_GIVEN for a link: its listing gives the link's own size,
// not that of the file it names, which is then asked for when the file is opened.
std::uint64_t listed_size(const WIN32_FIND_DATAW& found);

// The entries that the search for sibling_pattern(first_part_path) finds, in the order the
// folder lists them; none when it finds nothing or cannot search.
std::vector<FolderEntry> list_siblings(const std::wstring& first_part_path);

}  // namespace mendlet
