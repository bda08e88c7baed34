#include "join/job_digests.h"

#include <vector>

namespace mendlet {

namespace {

std::vector<DigestKinds> each(const std::vector<DigestKinds>& kinds, DigestKinds (DigestKinds::*only)() const) {
    std::vector<DigestKinds> result;
    result.reserve(kinds.size());
    for (const DigestKinds& part : kinds) result.push_back((part.*only)());
    return result;
}

DigestKinds wanted_of_whole_file(const JoinChecks& checks, bool crc32_shown, bool md5_shown) {
    DigestKinds kinds = checks.whole_file_kinds();
    if (crc32_shown) kinds.add(DigestKind::crc32);
    if (md5_shown) kinds.add(DigestKind::md5);
    return kinds;
}

}  // namespace

JobDigests::JobDigests(bool crc32_shown, bool md5_shown, JoinChecks checks, std::uint32_t parts)
    : checks_(std::move(checks)), crc_shown_(crc32_shown), md5_shown_(md5_shown) {
    checks_.parts.resize(parts);
    const DigestKinds whole = wanted_of_whole_file(checks_, crc32_shown, md5_shown);
    const std::vector<DigestKinds> part_kinds = checks_.part_kinds();
    DigestKinds anywhere = whole;
    for (const DigestKinds& kinds : part_kinds) anywhere.add(kinds);
    crc_on_ = anywhere.has(DigestKind::crc32);
    hashes_on_ = anywhere.hashes_only().any();
    crc_on_reader_ = crc_on_ && hashes_on_;
    crc_.emplace(whole.crc32_only(), each(part_kinds, &DigestKinds::crc32_only),
                 [this](std::uint32_t part) { check_part(*crc_, part); });
    hashes_.emplace(whole.hashes_only(), each(part_kinds, &DigestKinds::hashes_only),
                    [this](std::uint32_t part) { check_part(*hashes_, part); });
}

bool JobDigests::for_digest_thread() const { return hashes_on_ || (crc_on_ && !crc_on_reader_); }

void JobDigests::feed_on_reader(std::uint32_t part, const std::uint8_t* bytes, std::size_t length) {
    if (crc_on_reader_) crc_->feed(part, bytes, length);
}

void JobDigests::digest(std::uint32_t part, const std::uint8_t* bytes, std::size_t length) {
    if (crc_on_ && !crc_on_reader_) crc_->feed(part, bytes, length);
    if (hashes_on_) hashes_->feed(part, bytes, length);
}

void JobDigests::finish() {
    crc_->finish();
    hashes_->finish();
}

void JobDigests::check_part(const PartDigests& digests, std::uint32_t part) {
    if (part >= checks_.parts.size()) return;
    for (const DigestCheck& check : checks_.parts[part]) {
        const std::string computed = digests.part(part, check.expected.kind);
        if (!computed.empty() && !digest_agrees(check.expected, computed)) part_failed_.store(true, std::memory_order_relaxed);
    }
}

std::optional<std::pair<std::uint32_t, const DigestCheck*>> JobDigests::failed_part() const {
    for (std::uint32_t part = 0; part < checks_.parts.size(); ++part)
        if (const DigestCheck* failed = failed_check(part)) return std::pair{part, failed};
    return std::nullopt;
}

const DigestCheck* JobDigests::failed_check(std::uint32_t part) const {
    return first_failed(checks_.parts[part], [&](DigestKind kind) {
        return kind == DigestKind::crc32 ? crc_->part(part, kind) : hashes_->part(part, kind);
    });
}

std::string JobDigests::whole_file(DigestKind kind) const {
    return kind == DigestKind::crc32 ? crc_->whole_file(kind) : hashes_->whole_file(kind);
}

const DigestCheck* JobDigests::failed_whole_file_check() const {
    return first_failed(checks_.whole_file, [&](DigestKind kind) { return whole_file(kind); });
}

std::optional<std::string> JobDigests::shown(DigestKind kind) const {
    const bool ticked = kind == DigestKind::crc32 ? crc_shown_ : kind == DigestKind::md5 && md5_shown_;
    if (!ticked) return std::nullopt;
    return whole_file(kind);
}

}  // namespace mendlet
