#pragma once
// The repair of a joined file while it is still unfinished: the parts are moved to their
// places, the set's good slices are read back and its damaged ones written in at their
// places, from the recovery slices in the set's volumes; the file is cut to its length, and
// each file of the set that was rebuilt is read back and checked against the MD5 that the
// set lists for it. Nothing but the unfinished file is written.

#include <cstdint>
#include <functional>
#include <vector>

#include "join/output_layout.h"
#include "join/repair_choice.h"
#include "recovery/recovery_set.h"

namespace mendlet {

class JoinFile;

enum class OutputRepairEnd {
    repaired,
    // Fewer intact recovery slices than damaged slices.
    too_few,
    // No choice of them solves.
    singular,
    // Rebuilt, but a file does not match its MD5.
    not_verified,
    read_failed,
    write_failed,
    stopped,
    no_memory,
};

struct OutputRepairJob {
    JoinFile& output;
    const RecoverySet& set;
    RecoveryFolder& folder;
    // The set's input slices in the output, and those to rebuild (ascending).
    std::vector<SliceSpan> spans;
    std::vector<std::uint32_t> damaged;
    // The set's files to check afterwards, by index, with where each starts in the output.
    std::vector<std::pair<std::size_t, std::uint64_t>> rebuilt_files;
    std::vector<PartMove> moves;
    std::uint64_t final_length = 0;
    std::function<bool()> stopped;
    // Per mille of the rebuilding done.
    std::function<void(std::uint32_t)> progress;
};

struct OutputRepairOutcome {
    OutputRepairEnd end = OutputRepairEnd::repaired;
    // The intact recovery slices of distinct exponents found, where too few.
    std::uint64_t intact = 0;
};

OutputRepairOutcome repair_output(const OutputRepairJob& job);

}  // namespace mendlet
