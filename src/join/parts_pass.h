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
#include "join/output_repair.h"
#include "join/part_slices.h"
#include "join/repair_choice.h"
#include "recovery/recovery_set.h"
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
    // The folder of the first part, where the checksum and recovery files are looked for.
    std::wstring parts_folder() const;
    // A count as a text's number, which has 32 bits.
    static std::int32_t count_arg(std::uint64_t count);
    // Lists the parts, then the checks that the checksum files beside the first part (and
    // one folder above it) make of the set; none when a file names a part of the set that
    // the list lacks and no recovery set can rebuild, which the status line then says, since
    // what is read or joined would be incomplete; none too when the job was stopped
    // meanwhile.
    std::optional<SetChecks> collect_set_checks(const JobInputs& inputs, bool append);
    // The ring and the digest thread for the checks and the digests the boxes show; the
    // message to show when either cannot be had.
    std::optional<std::size_t> start_digests(bool crc32_shown, bool md5_shown, SetChecks checks);
    // The bytes that progress counts: those of the parts from this one on.
    void count_bytes_from(std::uint32_t first);
    void begin_part(std::uint32_t index) { pipeline_.begin_part(part_ = index); }
    // Once every byte has been read: waits for the digest thread and ends every check.
    void finish_pass();
    // Reads the part through the ring, written as it goes when asked. A part found not to
    // match ends the read only when asked to.
    CopyEnd read_part(JoinFile& part, bool write, bool stop_at_damage);
    // The reading thread's share of the checking: the CRC-32 where the hashes and the slices
    // of a recovery set take the other thread.
    void feed_reader(const std::uint8_t* bytes, std::uint32_t n);
    // What the checks make of the digests, for the list as it stands; distinct is asked
    // only when the answer counts.
    SetVerdict verdict(std::function<bool()> distinct) const;
    // The recovery set that a message names by that file; none when it names no such set.
    std::optional<std::size_t> recovery_set_named(const std::wstring& file) const;
    // How many slices of the parts chosen (by index) are damaged, of those the set lists.
    std::uint64_t damaged_slices(std::size_t set, const std::vector<bool>& chosen) const;
    // What the set could do about them: "N slices are damaged; it holds M recovery slices."
    std::wstring slices_text(std::uint64_t damaged, std::size_t set) const;
    // The text, with the damaged slices of the joined file after it where `file` is a
    // recovery set made over the joined file.
    std::wstring with_whole_file_slices(std::wstring text, const std::wstring& file) const;

    // Whether a recovery set lists slices of the parts or of the joined file: damage may then
    // be repaired, and a join goes on past it.
    bool may_repair() const { return slices_ && slices_->any(); }
    // What the damage found calls for, once the pass is finished.
    RepairDecision repair_decision(const SetVerdict& verdict, bool append) const;
    // Makes the repair in the unfinished output; once repaired, the joined file's digests are
    // taken again from it.
    OutputRepairOutcome repair(const RepairChoice& choice, JoinFile& output);
    // "N slices are damaged, but x.par2 holds only M recovery slices: ..."
    std::wstring too_few_text(const TooFewRecoverySlices& too_few) const;
    // "x.004 is missing; x.par2 can rebuild it." for the first part the list lacks.
    std::wstring missing_part_text() const;

private:
    std::vector<std::wstring> joined_file_names(const JobInputs& inputs, bool append) const;
    std::vector<ChecksumFile> find_checksum_files(const std::vector<std::wstring>& names) const;
    void add_recovery_sets(const std::vector<std::wstring>& names, std::vector<ChecksumFile>& files);
    bool refuse_incomplete_set(const std::vector<ChecksumFile>& files);
    void report_progress();
    bool rehash_output(JoinFile& output);
    std::vector<bool> md5_proven_by_slices(const SetChecks& checks) const;

protected:
    JoinContext& job_;
    JoinWindow& window_;
    PartList& list_;
    std::vector<std::wstring> part_paths_;
    // The names the joined file goes by.
    std::vector<std::wstring> joined_names_;
    // A checksum file named after the output or a part from which nothing could be read.
    std::wstring unreadable_checksum_file_;
    std::optional<JobDigests> digests_;
    // The PAR 2.0 sets that name a part or the joined file, and their slices as checked.
    std::vector<RecoverySet> recovery_sets_;
    std::optional<PartSlices> slices_;
    // Parts the list lacks that a set will rebuild, and that set.
    std::vector<MissingPart> missing_parts_;
    std::optional<std::size_t> missing_set_;
    // The bytes read of each part, by index.
    std::vector<std::uint64_t> copied_;
    // The part being read.
    std::uint32_t part_ = 0;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    std::uint32_t last_permille_ = 0;
    // Declared last: its thread uses the digests above, so it finishes before they go.
    CopyPipeline pipeline_;
};

}  // namespace mendlet
