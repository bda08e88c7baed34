#pragma once
// One pass over the parts in list order, as a join and a check of the parts make it: the
// checksum files that go with the set, the digests they call for, the ring that carries the
// bytes to the digest thread, and the progress on the way.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "checksum/checksum_file.h"
#include "checksum/set_check.h"
#include "join/copy_pipeline.h"
#include "join/job_digests.h"
#include "join/join_worker.h"

namespace mendlet {

class JoinFile;
struct JobInputs;

// How reading (and, in a join, writing) the parts ended; damaged: a part does not match its
// checksum file.
enum class CopyEnd { completed, stopped, read_failed, write_failed, damaged };

class PartsPass {
protected:
    explicit PartsPass(JoinContext& job) : job_(job), window_(job.window), list_(job.list) {}
    ~PartsPass() = default;
    PartsPass(const PartsPass&) = delete;
    PartsPass& operator=(const PartsPass&) = delete;

    const TextTable& texts() const { return job_.texts; }
    // Lists the parts, then the checks that the checksum files beside the first part (and
    // one folder above it) make of the set; none when a file names a part of the set that
    // the list lacks, which the status line then says, since what is read or joined would
    // be incomplete; none too when the job was stopped meanwhile.
    std::optional<SetChecks> collect_set_checks(const JobInputs& inputs, bool append);
    // The ring and the digest thread for the checks and the digests the boxes show; the
    // message to show when either cannot be had.
    std::optional<std::size_t> start_digests(bool crc32_shown, bool md5_shown, SetChecks checks);
    // The bytes that progress counts: those of the parts from this one on.
    void count_bytes_from(std::uint32_t first);
    void begin_part(std::uint32_t index) { pipeline_.begin_part(part_ = index); }
    // Reads the part through the ring, written as it goes when asked. A part found not to
    // match ends the read only when asked to.
    CopyEnd read_part(JoinFile& part, bool write, bool stop_at_damage);
    void feed_crc(const std::uint8_t* bytes, std::uint32_t n) { digests_->feed_on_reader(part_, bytes, n); }
    // What the checks make of the digests, for the list as it stands; distinct is asked
    // only when the answer counts.
    SetVerdict verdict(std::function<bool()> distinct) const;

private:
    std::vector<std::wstring> joined_file_names(const JobInputs& inputs, bool append) const;
    std::vector<ChecksumFile> find_checksum_files(const std::vector<std::wstring>& names) const;
    bool refuse_incomplete_set(const std::vector<ChecksumFile>& files);
    void report_progress();

protected:
    JoinContext& job_;
    JoinWindow& window_;
    PartList& list_;
    std::vector<std::wstring> part_paths_;
    // A checksum file named after the output or a part from which nothing could be read.
    std::wstring unreadable_checksum_file_;
    std::optional<JobDigests> digests_;
    // The part being read.
    std::uint32_t part_ = 0;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    std::uint32_t last_permille_ = 0;
    // Declared last: its thread uses the digests above, so it finishes before they go.
    CopyPipeline pipeline_;
};

}  // namespace mendlet
