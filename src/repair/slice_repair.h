#pragma once
// Rebuilds the damaged input slices of a PAR 2.0 recovery set from its good input slices
// and its recovery slices.
//
// Memory stays within a bound whatever the damage: the slices are worked through in
// stripes, the same bytes of every slice at a time, each good slice read once per stripe.
// Nearly all the time goes into multiplying slices by constants and adding them up; two
// threads share that, each taking its own half of every stripe, while the calling thread
// reads the next slices.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mendlet {

// Where the repair reads and writes slices.
class RepairData {
public:
    virtual ~RepairData() = default;
    // `length` bytes of input slice `slice` from `offset` within it; they all lie within the
    // slice's length. False when they cannot be read.
    virtual bool read_input(std::uint32_t slice, std::uint64_t offset, std::uint8_t* bytes, std::size_t length) = 0;
    // The same of the recovery slice offered at that index.
    virtual bool read_recovery(std::size_t slice, std::uint64_t offset, std::uint8_t* bytes, std::size_t length) = 0;
    // The rebuilt bytes of a damaged input slice, within its length.
    virtual bool write_input(std::uint32_t slice, std::uint64_t offset, const std::uint8_t* bytes,
                             std::size_t length) = 0;
    // Asked between pieces of work: true ends the repair.
    virtual bool stopped() = 0;
    // After each piece of work: how many of how many are done.
    virtual void progress(std::uint64_t done, std::uint64_t total) = 0;
};

struct RepairPlan {
    std::uint64_t slice_size = 0;
    // Each input slice's bytes in the set's order: the slice size, but for the last slice of
    // each file, which the PAR 2.0 format pads with zeros.
    std::vector<std::uint64_t> slice_lengths;
    // The input slices to rebuild, ascending.
    std::vector<std::uint32_t> damaged;
    // The exponents of the recovery slices offered, in the order to use them, distinct.
    std::vector<std::uint32_t> exponents;
};

enum class RepairEnd { repaired, singular, read_failed, write_failed, stopped, no_memory };

// The memory the stripes may take.
inline constexpr std::size_t REPAIR_MEMORY = 160u << 20;
// The most damaged slices one repair rebuilds: solving for n of them takes 4·n² bytes (the
// matrix and its inverse), 137 MiB for this many. More end as memory that is short.
inline constexpr std::size_t REPAIR_SLICE_LIMIT = 6000;

RepairEnd repair_slices(const RepairPlan& plan, RepairData& data, std::size_t memory = REPAIR_MEMORY);

// The name of the multiply-add code that runs on this processor, for the benchmark to print.
const char* repair_path_name();

}  // namespace mendlet
