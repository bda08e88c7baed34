#include "join/part_digests.h"

#include <algorithm>

#include "digest/crc32.h"

namespace mendlet {

bool DigestKinds::has(DigestKind kind) const {
    switch (kind) {
        case DigestKind::crc32:
            return crc32;
        case DigestKind::md5:
            return md5;
        case DigestKind::sha256:
            return sha256;
    }
    return false;
}

void DigestKinds::add(DigestKind kind) {
    crc32 = crc32 || kind == DigestKind::crc32;
    md5 = md5 || kind == DigestKind::md5;
    sha256 = sha256 || kind == DigestKind::sha256;
}

// Every part's CRC-32 is taken whenever any is asked for: the whole file's is made of them,
// and one costs no more than the other.
PartDigests::PartDigests(DigestKinds whole_file, std::vector<DigestKinds> parts,
                         std::function<void(std::uint32_t)> part_done)
    : whole_kinds_(whole_file),
      part_kinds_(std::move(parts)),
      part_done_(std::move(part_done)),
      crc_(whole_file.crc32 ||
           std::any_of(part_kinds_.begin(), part_kinds_.end(), [](const DigestKinds& kinds) { return kinds.crc32; })),
      whole_crc_(CRC32_INITIAL),
      part_crcs_(part_kinds_.size(), CRC32_INITIAL),
      part_md5_hex_(part_kinds_.size()),
      part_sha256_hex_(part_kinds_.size()) {
    if (whole_kinds_.md5) md5_init(whole_md5_);
    if (whole_kinds_.sha256) sha256_init(whole_sha256_);
    if (!part_kinds_.empty()) begin_part();
}

void PartDigests::feed(std::uint32_t part, const std::uint8_t* bytes, std::size_t length) {
    while (current_ < part) {
        end_part();
        ++current_;
        begin_part();
    }
    if (crc_) part_crc_ = crc32_update(part_crc_, bytes, length);
    part_length_ += length;
    if (whole_kinds_.md5) md5_update(whole_md5_, bytes, static_cast<std::uint32_t>(length));
    if (whole_kinds_.sha256) sha256_update(whole_sha256_, bytes, length);
    const DigestKinds& kinds = part_kinds_[current_];
    if (kinds.md5) md5_update(part_md5_, bytes, static_cast<std::uint32_t>(length));
    if (kinds.sha256) sha256_update(part_sha256_, bytes, length);
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
    if (whole_kinds_.md5) whole_md5_hex_ = format_md5(md5_final(whole_md5_));
    if (whole_kinds_.sha256) whole_sha256_hex_ = format_sha256(sha256_final(whole_sha256_));
}

void PartDigests::begin_part() {
    part_crc_ = CRC32_INITIAL;
    part_length_ = 0;
    const DigestKinds& kinds = part_kinds_[current_];
    if (kinds.md5) md5_init(part_md5_);
    if (kinds.sha256) sha256_init(part_sha256_);
}

void PartDigests::end_part() {
    if (crc_) {
        part_crcs_[current_] = part_crc_;
        whole_crc_ = crc32_combine(whole_crc_, part_crc_, part_length_);
    }
    const DigestKinds& kinds = part_kinds_[current_];
    if (kinds.md5) part_md5_hex_[current_] = format_md5(md5_final(part_md5_));
    if (kinds.sha256) part_sha256_hex_[current_] = format_sha256(sha256_final(part_sha256_));
    done_ = current_ + 1;
    if (part_done_) part_done_(current_);
}

std::string PartDigests::whole_file(DigestKind kind) const {
    if (!finished_) return {};
    switch (kind) {
        case DigestKind::crc32:
            return crc_ ? format_crc32(whole_crc_) : std::string();
        case DigestKind::md5:
            return whole_md5_hex_;
        case DigestKind::sha256:
            return whole_sha256_hex_;
    }
    return {};
}

std::string PartDigests::part(std::uint32_t index, DigestKind kind) const {
    if (index >= done_) return {};
    switch (kind) {
        case DigestKind::crc32:
            return crc_ ? format_crc32(part_crcs_[index]) : std::string();
        case DigestKind::md5:
            return part_md5_hex_[index];
        case DigestKind::sha256:
            return part_sha256_hex_[index];
    }
    return {};
}

}  // namespace mendlet
