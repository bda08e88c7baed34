#include "recovery/slice_check.h"

#include <algorithm>
#include <array>

#include "digest/crc32.h"

namespace mendlet {

namespace {

// md5_update takes 32-bit lengths; a slice may be longer.
constexpr std::uint64_t LARGEST_PIECE = 1u << 30;

}  // namespace

SliceChecker::SliceChecker(const SetFile& file, std::uint64_t slice_size)
    : file_(file), slice_size_(slice_size), crc_(CRC32_INITIAL) {
    md5_init(md5_);
}

void SliceChecker::update(const std::uint8_t* bytes, std::size_t length) {
    length_ += length;
    while (length > 0 && index_ < file_.slices.size()) {
        const std::size_t piece = static_cast<std::size_t>(std::min({std::uint64_t{length}, slice_size_ - fill_, LARGEST_PIECE}));
        md5_update(md5_, bytes, static_cast<std::uint32_t>(piece));
        crc_ = crc32_update(crc_, bytes, piece);
        fill_ += piece;
        bytes += piece;
        length -= piece;
        if (fill_ == slice_size_) end_slice();
    }
}

void SliceChecker::end_slice() {
    const SliceChecksum& listed = file_.slices[index_];
    if (md5_final(md5_) != listed.md5 || ~crc_ != listed.crc32) damaged_.push_back(index_);
    md5_init(md5_);
    crc_ = CRC32_INITIAL;
    fill_ = 0;
    ++index_;
}

SliceTally SliceChecker::finish() {
    if (fill_ > 0) {
        static constexpr std::array<std::uint8_t, 64 * 1024> ZEROS{};
        const std::uint64_t given = length_;
        while (fill_ > 0) update(ZEROS.data(), static_cast<std::size_t>(std::min<std::uint64_t>(ZEROS.size(), slice_size_ - fill_)));
        length_ = given;
    }
    const std::uint64_t slices = slice_count(file_.length, slice_size_);
    if (slices != file_.slices.size()) {
        damaged_.clear();
        return {slices, 0, false};
    }
    // Slices the file does not reach are damaged too.
    for (std::uint64_t index = index_; index < slices; ++index) damaged_.push_back(index);
    return {slices, damaged_.size(), true};
}

SliceTally missing_file_tally(const SetFile& file, std::uint64_t slice_size) {
    const std::uint64_t slices = slice_count(file.length, slice_size);
    return {slices, slices, true};
}

}  // namespace mendlet
