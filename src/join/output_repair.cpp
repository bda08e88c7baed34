#include "join/output_repair.h"

#include <algorithm>

#include "digest/md5.h"
#include "join/join_files.h"
#include "join/join_worker.h"
#include "recovery/recovery_slices.h"
#include "repair/slice_repair.h"

namespace mendlet {

namespace {

// Recovery slices checked beyond those needed, to stand in where a choice is singular.
constexpr std::size_t SPARE_RECOVERY_SLICES = 4;
constexpr std::uint32_t IO_PIECE = 1u << 20;

// The output read and written at offsets, through the file position.
bool read_at(JoinFile& file, std::uint64_t offset, std::uint8_t* bytes, std::size_t length) {
    if (!file.seek(offset)) return false;
    while (length > 0) {
        const std::optional<std::uint32_t> n =
            file.read(bytes, static_cast<std::uint32_t>(std::min<std::size_t>(length, IO_PIECE)));
        if (!n || *n == 0) return false;
        bytes += *n;
        length -= *n;
    }
    return true;
}

bool write_at(JoinFile& file, std::uint64_t offset, const std::uint8_t* bytes, std::size_t length) {
    if (!file.seek(offset)) return false;
    while (length > 0) {
        const auto piece = static_cast<std::uint32_t>(std::min<std::size_t>(length, IO_PIECE));
        if (!file.write(bytes, piece)) return false;
        bytes += piece;
        length -= piece;
    }
    return true;
}

class OutputSlices : public RepairData {
public:
    OutputSlices(const OutputRepairJob& job, RecoverySlices& recovery) : job_(job), recovery_(recovery) {}

    bool read_input(std::uint32_t slice, std::uint64_t offset, std::uint8_t* bytes, std::size_t length) override {
        return read_at(job_.output, job_.spans[slice].offset + offset, bytes, length);
    }
    bool read_recovery(std::size_t slice, std::uint64_t offset, std::uint8_t* bytes, std::size_t length) override {
        return recovery_.read(slice, offset, bytes, length);
    }
    bool write_input(std::uint32_t slice, std::uint64_t offset, const std::uint8_t* bytes,
                     std::size_t length) override {
        return write_at(job_.output, job_.spans[slice].offset + offset, bytes, length);
    }
    bool stopped() override { return job_.stopped(); }
    void progress(std::uint64_t done, std::uint64_t total) override {
        const std::uint32_t permille = progress_permille(done, total);
        if (permille != permille_) job_.progress(permille_ = permille);
    }

private:
    const OutputRepairJob& job_;
    RecoverySlices& recovery_;
    std::uint32_t permille_ = 0;
};

// Whether the file's bytes in the output have the MD5 the set lists; none when they cannot
// be read.
std::optional<bool> file_matches(const OutputRepairJob& job, const SetFile& file, std::uint64_t start) {
    std::vector<std::uint8_t> piece(IO_PIECE);
    Md5Context md5;
    md5_init(md5);
    for (std::uint64_t at = 0; at < file.length; at += IO_PIECE) {
        if (job.stopped()) return std::nullopt;
        const auto length = static_cast<std::uint32_t>(std::min<std::uint64_t>(IO_PIECE, file.length - at));
        if (!read_at(job.output, start + at, piece.data(), length)) return std::nullopt;
        md5_update(md5, piece.data(), length);
    }
    return md5_final(md5) == file.md5;
}

// Front to back when the bytes go left, back to front when they go right, so that no byte
// is overwritten before it has moved.
std::optional<OutputRepairEnd> move_part(const OutputRepairJob& job, const PartMove& move,
                                         std::vector<std::uint8_t>& piece) {
    for (std::uint64_t done = 0; done < move.length;) {
        if (job.stopped()) return OutputRepairEnd::stopped;
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(IO_PIECE, move.length - done));
        const std::uint64_t at = move.to < move.from ? done : move.length - done - length;
        if (!read_at(job.output, move.from + at, piece.data(), length)) return OutputRepairEnd::read_failed;
        if (!write_at(job.output, move.to + at, piece.data(), length)) return OutputRepairEnd::write_failed;
        done += length;
    }
    return std::nullopt;
}

OutputRepairEnd end_of(RepairEnd end) {
    switch (end) {
        case RepairEnd::repaired:
            return OutputRepairEnd::repaired;
        case RepairEnd::singular:
            return OutputRepairEnd::singular;
        case RepairEnd::read_failed:
            return OutputRepairEnd::read_failed;
        case RepairEnd::write_failed:
            return OutputRepairEnd::write_failed;
        case RepairEnd::stopped:
            return OutputRepairEnd::stopped;
        case RepairEnd::no_memory:
            return OutputRepairEnd::no_memory;
    }
    return OutputRepairEnd::read_failed;
}

}  // namespace

OutputRepairOutcome repair_output(const OutputRepairJob& job) {
    std::vector<std::uint8_t> piece(IO_PIECE);
    for (const PartMove& move : job.moves)
        if (const std::optional<OutputRepairEnd> end = move_part(job, move, piece)) return {*end};
    RecoverySlices recovery(job.set, job.folder);
    RepairPlan plan{
        job.set.slice_size, {}, job.damaged, recovery.offer(job.damaged.size() + SPARE_RECOVERY_SLICES, job.stopped)};
    if (job.stopped()) return {OutputRepairEnd::stopped};
    if (plan.exponents.size() < plan.damaged.size()) return {OutputRepairEnd::too_few, plan.exponents.size()};
    for (const SliceSpan& span : job.spans) plan.slice_lengths.push_back(span.length);
    OutputSlices data(job, recovery);
    const RepairEnd end = repair_slices(plan, data);
    if (end != RepairEnd::repaired) return {end_of(end)};
    if (!job.output.truncate(job.final_length)) return {OutputRepairEnd::write_failed};
    for (const auto& [file, start] : job.rebuilt_files) {
        const std::optional<bool> matches = file_matches(job, job.set.files[file], start);
        if (!matches) return {job.stopped() ? OutputRepairEnd::stopped : OutputRepairEnd::read_failed};
        if (!*matches) return {OutputRepairEnd::not_verified};
    }
    return {OutputRepairEnd::repaired};
}

}  // namespace mendlet
