#pragma once
// The recovery slices of a set as a repair reads them from the set's volumes. Each is
// checked against its packet's MD5 before it is offered: a damaged one would rebuild
// damaged slices. Copies of one exponent stand in for each other.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "recovery/recovery_set.h"

namespace mendlet {

class RecoverySlices {
public:
    // The set and the folder must outlive this.
    RecoverySlices(const RecoverySet& set, RecoveryFolder& folder) : set_(set), folder_(folder) {}

    // Checks the set's slices in the order found until `wanted` good ones of distinct
    // exponents are offered or none are left; each check reads a whole slice. Returns the
    // exponents of all offered so far, in the order offered.
    std::vector<std::uint32_t> offer(std::size_t wanted, const std::function<bool()>& stopped);
    // Bytes of the slice offered at that index.
    bool read(std::size_t offered, std::uint64_t offset, std::uint8_t* bytes, std::size_t length);

private:
    bool intact(const RecoverySlice& slice);
    ReadableFile* volume(std::size_t index);

    const RecoverySet& set_;
    RecoveryFolder& folder_;
    // By the set's read_from index, opened when first needed.
    std::vector<std::unique_ptr<ReadableFile>> volumes_;
    std::vector<bool> opened_;
    std::size_t next_ = 0;
    std::vector<const RecoverySlice*> offered_;
    std::vector<std::uint32_t> exponents_;
};

}  // namespace mendlet
