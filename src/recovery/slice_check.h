#pragma once
// Counts the damaged slices of one file of a recovery set while its bytes go by: the MD5
// and CRC-32 of each slice in the same pass, against the slice checksums the set lists.
//
// The file is cut into slices of the set's slice size from its first byte, the last one
// padded with zeros to the slice size, as the PAR 2.0 format defines the slice checksums.
// A listed slice that the file does not reach (it is shorter than listed) is damaged; so is
// the last one where bytes beyond the listed length fill what would have been its padding.
// Bytes past the listed slices belong to none.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "digest/md5.h"
#include "recovery/recovery_set.h"

namespace mendlet {

struct SliceTally {
    std::uint64_t slices = 0;
    std::uint64_t damaged = 0;
    // False when the set lists no slice checksums for the file: no slice was checked.
    bool checked = false;

    bool operator==(const SliceTally&) const = default;
};

class SliceChecker {
public:
    // The file must outlive the checker; slice_size is the set's, never 0.
    SliceChecker(const SetFile& file, std::uint64_t slice_size);

    // The file's next bytes, in any pieces.
    void update(const std::uint8_t* bytes, std::size_t length);
    // After the last byte; once.
    SliceTally finish();
    // Once finished: the damaged slices' indices, in order.
    const std::vector<std::uint64_t>& damaged_slices() const { return damaged_; }
    // The bytes given, padding aside.
    std::uint64_t length() const { return length_; }

private:
    void end_slice();

    const SetFile& file_;
    const std::uint64_t slice_size_;
    // Bytes of the current slice so far, and its index.
    std::uint64_t fill_ = 0;
    std::uint64_t index_ = 0;
    std::vector<std::uint64_t> damaged_;
    std::uint64_t length_ = 0;
    Md5Context md5_;
    std::uint32_t crc_;
};

// A file of the set that is not there: every slice damaged, checksums listed or not.
SliceTally missing_file_tally(const SetFile& file, std::uint64_t slice_size);

}  // namespace mendlet
