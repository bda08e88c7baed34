#pragma once
// Where each part goes in the joined file, and where a recovery set's slices lie in it.
//
// Where a recovery set made over the parts lists a part, the part takes the length the set
// gives it: one cut short or grown leaves the parts after it where they belong, and the
// repair fills or trims it. A part that the list lacks but a set can rebuild takes its place
// between the parts numbered before and after it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recovery/recovery_set.h"

namespace mendlet {

// A part the list lacks, by its file name and number.
struct MissingPart {
    std::wstring name;
    std::uint32_t ordinal = 0;
};

struct PlacedPart {
    // Its index in the list; none for a missing part.
    std::optional<std::uint32_t> part;
    std::wstring name;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

struct OutputLayout {
    // In the joined file's order.
    std::vector<PlacedPart> places;
    std::uint64_t length = 0;

    // Where the part at that list index starts.
    std::uint64_t offset_of(std::uint32_t part) const;
};

// The parts in list order, by path, size and number; the set whose lengths hold, if any.
OutputLayout lay_out_parts(const std::vector<std::wstring>& paths, const std::vector<std::uint64_t>& sizes,
                           const std::vector<std::uint32_t>& ordinals, const RecoverySet* set,
                           const std::vector<MissingPart>& missing);

struct SliceSpan {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// Where each of the set's input slices lies in the joined file, in the set's order; none
// when a file of its recovery set is neither placed nor the joined file itself (by one of
// its names), or is not described.
std::optional<std::vector<SliceSpan>> slices_in_output(const RecoverySet& set, const OutputLayout& layout,
                                                       const std::vector<std::wstring>& output_names);

// The index of each recovery set file's first input slice, in the set's order.
std::vector<std::uint32_t> first_slices(const RecoverySet& set);

}  // namespace mendlet
