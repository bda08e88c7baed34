#pragma once
// Which files of a folder make up the set that a first part belongs to: those whose names
// differ from it only in the last three characters, numbered 1, 2, 3, ... up to the first
// number that is missing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mendlet {

// Only a path ending in "001" loads its siblings: name.ext.001, name001 and name.1001 all do.
bool is_first_part(std::wstring_view path);

// The folder search for the siblings: the path with its last three characters as "???".
std::wstring sibling_pattern(std::wstring_view path);

// One entry of a folder listing.
struct FolderEntry {
    std::wstring name;
    bool folder = false;
    std::uint64_t size = 0;
};

// A sibling to add: its size from the listing, or SIZE_NOT_GIVEN to ask the file.
struct Sibling {
    std::wstring name;
    std::uint64_t size = 0;
};

// The siblings in number order, from 1 up to the first gap. Those met in order keep their
// listed size; those met out of turn are added later and asked for theirs.
std::vector<Sibling> siblings_in_order(const std::vector<FolderEntry>& listing);

}  // namespace mendlet
