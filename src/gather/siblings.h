#pragma once
// Which files of a folder make up the set that a first part belongs to: those whose names
// differ from it only in the last three characters, numbered 1, 2, 3, ... up to the first
// number that is missing; and whether later ones lie beyond that gap.

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

struct SiblingSet {
    std::vector<Sibling> siblings;
    // The first missing number when a sibling with a higher one is listed; 0 otherwise.
    std::uint32_t missing_number = 0;
};

// The siblings in number order, from 1 up to the first gap. Those met in order keep their
// listed size; those met out of turn are added later and asked for theirs. Numbers in
// `rebuilt` are no gap: a recovery set rebuilds those parts.
SiblingSet siblings_in_order(const std::vector<FolderEntry>& listing, const std::vector<std::uint32_t>& rebuilt = {});

// The highest number among the listing's siblings (files whose names end in three digits
// other than 000); 0 when there is none.
std::uint32_t highest_sibling_number(const std::vector<FolderEntry>& listing);

// The file name of a first part's sibling: its name with the last three characters as the
// number (at most 999) in three digits.
std::wstring sibling_name(std::wstring_view first_part_name, std::uint32_t number);

}  // namespace mendlet
