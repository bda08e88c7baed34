#include "join/part_digests.h"

#include <algorithm>

#include "digest/crc32.h"

namespace mendlet {

namespace {

std::size_t index_of(DigestKind kind) { return static_cast<std::size_t>(kind); }

}  // namespace

// Every part's CRC-32 is taken whenever any is asked for: the whole file's is made of them,
// and one costs no more than the other.
PartDigests::PartDigests(DigestKinds whole_file, std::vector<DigestKinds> parts,
                         std::function<void(std::uint32_t)> part_done)
    : whole_kinds_(whole_file),
      part_kinds_(std::move(parts)),
      part_done_(std::move(part_done)),
      crc_(whole_file.has(DigestKind::crc32) ||
           std::any_of(part_kinds_.begin(), part_kinds_.end(),
                       [](const DigestKinds& kinds) { return kinds.has(DigestKind::crc32); })),
      whole_crc_(CRC32_INITIAL),
      whole_hashers_(hashers(whole_file)),
      part_crcs_(part_kinds_.size(), CRC32_INITIAL),
      part_hex_(part_kinds_.size()) {
    if (!part_kinds_.empty()) begin_part();
}

std::vector<Hasher> PartDigests::hashers(DigestKinds kinds) {
    std::vector<Hasher> hashers;
    for (const DigestKind kind : DIGEST_KINDS)
        if (kind != DigestKind::crc32 && kinds.has(kind)) hashers.emplace_back(kind);
    return hashers;
}

void PartDigests::finish_into(std::vector<Hasher>& hashers, HexByKind& hex) {
    for (Hasher& hasher : hashers) hex[index_of(hasher.kind())] = hasher.finish();
    hashers.clear();
}

void PartDigests::feed(std::uint32_t part, const std::uint8_t* bytes, std::size_t length) {
    while (current_ < part) {
        end_part();
        ++current_;
        begin_part();
    }
    if (crc_) part_crc_ = crc32_update(part_crc_, bytes, length);
    part_length_ += length;
    for (Hasher& hasher : whole_hashers_) hasher.update(bytes, length);
    for (Hasher& hasher : part_hashers_) hasher.update(bytes, length);
}

void PartDigests::finish() {
    if (finished_) return;
    finished_ = true;
    if (part_kinds_.empty()) return;
    end_part();
    while (current_ + 1 < part_kinds_.size()) {
        ++current_;
        begin_part();
        end_part();
    }
    finish_into(whole_hashers_, whole_hex_);
}

void PartDigests::begin_part() {
    part_crc_ = CRC32_INITIAL;
    part_length_ = 0;
    part_hashers_ = hashers(part_kinds_[current_]);
}

void PartDigests::end_part() {
    if (crc_) {
        part_crcs_[current_] = part_crc_;
        whole_crc_ = crc32_combine(whole_crc_, part_crc_, part_length_);
    }
    finish_into(part_hashers_, part_hex_[current_]);
    done_ = current_ + 1;
    if (part_done_) part_done_(current_);
}

std::string PartDigests::whole_file(DigestKind kind) const {
    if (!finished_) return {};
    if (kind == DigestKind::crc32) return crc_ ? format_crc32(whole_crc_) : std::string();
    return whole_hex_[index_of(kind)];
}

std::string PartDigests::part(std::uint32_t index, DigestKind kind) const {
    if (index >= done_) return {};
    if (kind == DigestKind::crc32) return crc_ ? format_crc32(part_crcs_[index]) : std::string();
    return part_hex_[index][index_of(kind)];
}

}  // namespace mendlet
