#pragma once
// The digests one job computes and the checks it makes of them: those the window's boxes
// ask for, and those the checksum files beside the parts list. The hashes take the
// digest thread; the CRC-32 goes with them there when they are not asked for, and on
// the reading thread when they are, so that the slowest digest has a core to itself.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "checksum/set_check.h"
#include "join/copy_pipeline.h"
#include "join/part_digests.h"
#include "join/part_slices.h"

namespace mendlet {

class JobDigests : public DigestSink {
public:
    // Where a recovery set's slice checksums prove or refute a part's MD5 (`derived`, by part),
    // the MD5 is not taken again: the slices are checked on the digest thread in its place.
    JobDigests(bool crc32_shown, bool md5_shown, SetChecks checks, std::uint32_t parts, PartSlices* slices = nullptr,
               std::vector<bool> derived = {});

    // Whether the digest thread has work, and whether the reading thread feeds the CRC-32.
    bool for_digest_thread() const;
    bool crc32_on_reader() const { return crc_on_reader_; }
    bool any() const { return crc_on_ || hashes_on_ || slices_ != nullptr; }

    // The reading thread's share of the bytes, when it has one.
    void feed_on_reader(std::uint32_t part, const std::uint8_t* bytes, std::size_t length);
    void digest(std::uint32_t part, const std::uint8_t* bytes, std::size_t length) override;

    // True as soon as a part is known to be damaged (part_refuted): the copy need not go on.
    bool part_failed() const { return part_failed_.load(std::memory_order_relaxed); }

    // Once every byte has been fed and the digest thread has ended.
    void finish();
    const SetChecks& checks() const { return checks_; }
    // What the checks make of the digests, once finished.
    SetVerdict verdict(const SetFacts& facts) const;
    // The joined file's digest in that kind, once finished; empty for one not taken.
    std::string whole_file(DigestKind kind) const;
    // The digests the boxes show: those ticked.
    std::optional<std::string> shown(DigestKind kind) const;
    // After a repair changed the joined file: digests for it in every kind asked of the whole
    // file, for the caller to feed as part 0 and finish; they then stand for the whole file.
    PartDigests& rehash_whole_file();

private:
    void check_part(const PartDigests& digests, std::uint32_t part);
    std::string part(std::uint32_t index, DigestKind kind) const;

    SetChecks checks_;
    bool crc_shown_;
    bool md5_shown_;
    bool crc_on_ = false;
    bool hashes_on_ = false;
    bool crc_on_reader_ = false;
    std::atomic<bool> part_failed_{false};
    // The CRC-32s, and the hashes; each fed on one thread.
    std::optional<PartDigests> crc_;
    std::optional<PartDigests> hashes_;
    std::optional<PartDigests> rehashed_;
    PartSlices* slices_;
    std::vector<bool> derived_;
};

}  // namespace mendlet
