#include "join/job_digests.h"

#include <vector>

namespace mendlet {

namespace {

DigestKinds wanted_of_whole_file(const SetChecks& checks, bool crc32_shown, bool md5_shown) {
    DigestKinds kinds = checks.whole_file_kinds();
    if (crc32_shown) kinds.add(DigestKind::crc32);
    if (md5_shown) kinds.add(DigestKind::md5);
    return kinds;
}

}  // namespace

JobDigests::JobDigests(bool crc32_shown, bool md5_shown, SetChecks checks, std::uint32_t parts, PartSlices* slices,
                       std::vector<bool> derived)
    : checks_(std::move(checks)),
      crc_shown_(crc32_shown),
      md5_shown_(md5_shown),
      slices_(slices),
      derived_(std::move(derived)) {
    derived_.resize(parts, false);
    const DigestKinds whole = wanted_of_whole_file(checks_, crc32_shown, md5_shown);
    std::vector<DigestKinds> crc_kinds;
    std::vector<DigestKinds> hash_kinds;
    DigestKinds anywhere = whole;
    for (std::uint32_t part = 0; part < parts; ++part) {
        DigestKinds kinds = checks_.part_kinds(part);
        if (derived_[part]) kinds.remove(DigestKind::md5);
        anywhere.add(kinds);
        crc_kinds.push_back(kinds.crc32_only());
        hash_kinds.push_back(kinds.hashes_only());
    }
    crc_on_ = anywhere.has(DigestKind::crc32);
    hashes_on_ = anywhere.hashes_only().any();
    crc_on_reader_ = crc_on_ && (hashes_on_ || slices_ != nullptr);
    crc_.emplace(whole.crc32_only(), std::move(crc_kinds), [this](std::uint32_t part) { check_part(*crc_, part); });
    hashes_.emplace(whole.hashes_only(), std::move(hash_kinds),
                    [this](std::uint32_t part) { check_part(*hashes_, part); });
}

bool JobDigests::for_digest_thread() const { return hashes_on_ || slices_ != nullptr || (crc_on_ && !crc_on_reader_); }

void JobDigests::feed_on_reader(std::uint32_t part, const std::uint8_t* bytes, std::size_t length) {
    if (crc_on_reader_) crc_->feed(part, bytes, length);
}

void JobDigests::digest(std::uint32_t part, const std::uint8_t* bytes, std::size_t length) {
    if (crc_on_ && !crc_on_reader_) crc_->feed(part, bytes, length);
    if (hashes_on_) hashes_->feed(part, bytes, length);
    if (slices_ != nullptr) slices_->feed(part, bytes, length);
}

void JobDigests::finish() {
    crc_->finish();
    hashes_->finish();
    if (slices_ != nullptr) slices_->finish();
}

// On the thread that fed these digests, which knows only its own kinds: a listing that also
// lists another kind for the part is left to the verdict at the end.
void JobDigests::check_part(const PartDigests& digests, std::uint32_t part) {
    const PartDigest digest = [&digests](std::uint32_t index, DigestKind kind) { return digests.part(index, kind); };
    if (part_refuted(checks_, part, digest)) part_failed_.store(true, std::memory_order_relaxed);
}

std::string JobDigests::part(std::uint32_t index, DigestKind kind) const {
    if (kind == DigestKind::md5 && derived_[index]) return slices_->proven_md5(index);
    return kind == DigestKind::crc32 ? crc_->part(index, kind) : hashes_->part(index, kind);
}

std::string JobDigests::whole_file(DigestKind kind) const {
    if (rehashed_) return rehashed_->whole_file(kind);
    return kind == DigestKind::crc32 ? crc_->whole_file(kind) : hashes_->whole_file(kind);
}

SetVerdict JobDigests::verdict(const SetFacts& facts) const {
    return judge_set(
        checks_, [this](std::uint32_t index, DigestKind kind) { return part(index, kind); },
        [this](DigestKind kind) { return whole_file(kind); }, facts);
}

PartDigests& JobDigests::rehash_whole_file() {
    return rehashed_.emplace(wanted_of_whole_file(checks_, crc_shown_, md5_shown_), std::vector<DigestKinds>(1));
}

std::optional<std::string> JobDigests::shown(DigestKind kind) const {
    const bool ticked = kind == DigestKind::crc32 ? crc_shown_ : kind == DigestKind::md5 && md5_shown_;
    if (!ticked) return std::nullopt;
    return whole_file(kind);
}

}  // namespace mendlet
