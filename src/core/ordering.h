#pragma once
// Part numbers taken from file names, and the two orders a list can be kept in.

#include <cstdint>
#include <string_view>

namespace mendlet {

struct PartEntry;
class PartList;

// The last run of decimal digits in the file name (never in a folder name); 0 without one.
std::uint32_t extract_ordinal(std::wstring_view path);

// Sign of the comparison of a with b: by ordinal, or by the whole path text.
int compare_parts(const PartEntry& a, const PartEntry& b, bool by_path);

// Where a new entry goes when the list is kept sorted: after the last entry when it is not
// smaller than it, else before the first entry that is not smaller than it.
std::uint32_t sorted_position(const PartList& list, const PartEntry& entry, bool by_path);

}  // namespace mendlet
