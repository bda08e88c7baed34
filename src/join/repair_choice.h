#pragma once
// Whether a join's damage can be repaired from a recovery set, and what the repair does:
// which set, where each part must go in the joined file, which slices it rebuilds and which
// files it then checks.
//
// The copy writes the parts one after another as they are. A repair first moves each part
// to where the set says it belongs (after a part cut short or grown, or a part missing from
// the list), then rebuilds the damaged slices in place, then cuts the file to its length.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "checksum/set_check.h"
#include "join/output_layout.h"
#include "join/part_slices.h"
#include "recovery/recovery_set.h"

namespace mendlet {

// What the join found.
struct JoinDamage {
    const std::vector<RecoverySet>& sets;
    const PartSlices& slices;
    const SetVerdict& verdict;
    // The parts in list order: their paths, numbers and the bytes the copy took of each.
    const std::vector<std::wstring>& part_paths;
    const std::vector<std::uint32_t>& ordinals;
    const std::vector<std::uint64_t>& copied;
    // Parts the list lacks, and the set that can rebuild them; none when none lack.
    const std::vector<MissingPart>& missing;
    std::optional<std::size_t> missing_set;
    const std::vector<std::wstring>& joined_names;
    // An append join must not write within the first part's old bytes.
    bool append = false;
};

// Bytes of the joined file to move: a part from where the copy wrote it to its place.
struct PartMove {
    std::uint64_t from = 0;
    std::uint64_t to = 0;
    std::uint64_t length = 0;

    bool operator==(const PartMove&) const = default;
};

struct RepairChoice {
    std::size_t set = 0;
    // In the order to make them: no move overwrites bytes that another has yet to move.
    std::vector<PartMove> moves;
    std::vector<SliceSpan> spans;
    std::vector<std::uint32_t> damaged;
    // The set's files to check afterwards, by index, with where each starts.
    std::vector<std::pair<std::size_t, std::uint64_t>> rebuilt_files;
    std::uint64_t final_length = 0;
};

// A set can rebuild the damage but holds too few recovery slices.
struct TooFewRecoverySlices {
    std::size_t set = 0;
    std::uint64_t damaged = 0;
    std::uint64_t held = 0;
};

struct RepairDecision {
    // Set when a repair is to be made.
    std::optional<RepairChoice> repair;
    // Set when one could be but for the recovery slices.
    std::optional<TooFewRecoverySlices> too_few;
};

// Nothing when nothing is damaged or no set covers all that is.
RepairDecision choose_repair(const JoinDamage& damage);

}  // namespace mendlet
