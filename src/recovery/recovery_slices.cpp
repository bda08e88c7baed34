#include "recovery/recovery_slices.h"

#include <algorithm>

#include "digest/md5.h"

namespace mendlet {

namespace {

// A recovery slice packet's header and exponent come before its data; its MD5 covers all
// of it from the recovery set ID on.
constexpr std::uint64_t BEFORE_DATA = PACKET_HEADER_SIZE + 4;
constexpr std::uint64_t UNHASHED = 32;
constexpr std::size_t CHECK_PIECE = 1 << 20;

}  // namespace

std::vector<std::uint32_t> RecoverySlices::offer(std::size_t wanted, const std::function<bool()>& stopped) {
    while (offered_.size() < wanted && next_ < set_.recovery_slices.size() && !stopped()) {
        const RecoverySlice& slice = set_.recovery_slices[next_++];
        if (std::find(exponents_.begin(), exponents_.end(), slice.exponent) != exponents_.end()) continue;
        if (!intact(slice)) continue;
        offered_.push_back(&slice);
        exponents_.push_back(slice.exponent);
    }
    return exponents_;
}

bool RecoverySlices::read(std::size_t offered, std::uint64_t offset, std::uint8_t* bytes, std::size_t length) {
    const RecoverySlice& slice = *offered_[offered];
    ReadableFile* file = volume(slice.volume);
    return file != nullptr && file->read_at(slice.data_offset + offset, bytes, length) == length;
}

bool RecoverySlices::intact(const RecoverySlice& slice) {
    ReadableFile* file = volume(slice.volume);
    if (file == nullptr || slice.data_offset < BEFORE_DATA) return false;
    std::vector<std::uint8_t> piece(CHECK_PIECE);
    Md5Context md5;
    md5_init(md5);
    std::uint64_t at = slice.data_offset - BEFORE_DATA + UNHASHED;
    const std::uint64_t end = slice.data_offset + set_.slice_size;
    while (at < end) {
        const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(CHECK_PIECE, end - at));
        if (file->read_at(at, piece.data(), length) != length) return false;
        md5_update(md5, piece.data(), static_cast<std::uint32_t>(length));
        at += length;
    }
    return md5_final(md5) == slice.packet_hash;
}

ReadableFile* RecoverySlices::volume(std::size_t index) {
    if (index >= set_.read_from.size()) return nullptr;
    if (volumes_.size() <= index) {
        volumes_.resize(set_.read_from.size());
        opened_.resize(set_.read_from.size(), false);
    }
    if (!opened_[index]) {
        opened_[index] = true;
        volumes_[index] = folder_.open(set_.read_from[index]);
    }
    return volumes_[index].get();
}

}  // namespace mendlet
