#include "join/part_check.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/part_list.h"
#include "join/join_checks.h"
#include "join/join_files.h"
#include "join/join_window.h"
#include "join/parts_pass.h"
#include "lang/text_format.h"
#include "lang/text_table.h"

namespace mendlet {

namespace {

constexpr std::size_t MSG_CANNOT_OPEN = 10;
// Indices into the verify section.
constexpr std::size_t ALL_MATCH = 6;
constexpr std::size_t SOME_DO_NOT_MATCH = 7;
constexpr std::size_t NONE_LISTED = 8;
constexpr std::size_t TOGETHER_DO_NOT_MATCH = 9;

struct Tally {
    std::uint32_t matching = 0;
    // Parts that do not match or cannot be read.
    std::uint32_t failed = 0;
};

class CheckRun : private PartsPass {
public:
    explicit CheckRun(JoinContext& job) : PartsPass(job) {}
    void run();

private:
    bool read_parts();
    Tally mark_parts();
    void show_outcome(Tally tally);

    std::vector<bool> unreadable_;
};

void CheckRun::run() {
    if (job_.flags.stop_requested || list_.empty()) return;
    const JobInputs inputs = window_.read_job_inputs();
    std::optional<JoinChecks> checks = collect_set_checks(inputs, inputs.append_to_first);
    if (!checks) return;
    if (const std::optional<std::size_t> failure = start_digests(false, false, std::move(*checks))) {
        window_.show_status(texts().messages[*failure], COLOUR_ERROR, true);
        return;
    }
    window_.start_taskbar_progress();
    count_bytes_from(0);
    const bool read_all = read_parts();
    pipeline_.finish();
    digests_->finish();
    // A stopped check says nothing of the parts it did not finish.
    if (read_all) show_outcome(mark_parts());
}

// A part that cannot be read is marked at once, and the check goes on with the next one.
bool CheckRun::read_parts() {
    unreadable_.assign(list_.count(), false);
    for (std::uint32_t i = 0; i < list_.count(); ++i) {
        begin_part(i);
        const std::unique_ptr<JoinFile> part = job_.files.open_part(list_.at(i)->path);
        const CopyEnd end = part == nullptr ? CopyEnd::read_failed : read_part(*part, false, false);
        if (end == CopyEnd::stopped || job_.flags.stop_requested) return false;
        if (end != CopyEnd::read_failed) continue;
        unreadable_[i] = true;
        window_.mark_part(list_, i, STATUS_CANNOT_READ);
    }
    return true;
}

// Parts that no checksum file lists keep their status.
Tally CheckRun::mark_parts() {
    Tally tally;
    for (std::uint32_t i = 0; i < list_.count(); ++i) {
        if (unreadable_[i]) {
            ++tally.failed;
        } else if (digests_->part_listed(i)) {
            const bool matches = digests_->failed_check(i) == nullptr;
            window_.mark_part(list_, i, matches ? STATUS_CHECKSUM_MATCHES : STATUS_CHECKSUM_MISMATCH);
            ++(matches ? tally.matching : tally.failed);
        }
    }
    return tally;
}

// The whole file's digest speaks for every part, but only when each one could be read.
void CheckRun::show_outcome(Tally tally) {
    const JoinChecks& checks = digests_->checks();
    const std::uint32_t count = list_.count();
    if (checks.empty()) {
        if (tally.failed > 0)
            window_.show_status(texts().messages[MSG_CANNOT_OPEN], COLOUR_ERROR, false);
        else
            window_.show_status(format_text(texts().verify[NONE_LISTED], {count}), COLOUR_INFO, true);
        return;
    }
    if (tally.failed > 0) {
        window_.show_status(format_text(texts().verify[SOME_DO_NOT_MATCH], {tally.failed, count, checks.first_file}),
                            COLOUR_ERROR, false);
        return;
    }
    if (const DigestCheck* whole = digests_->failed_whole_file_check()) {
        window_.show_status(format_text(texts().verify[TOGETHER_DO_NOT_MATCH], {whole->file}), COLOUR_ERROR, false);
        return;
    }
    const std::uint32_t matching = checks.whole_file.empty() ? tally.matching : count;
    window_.show_status(format_text(texts().verify[ALL_MATCH], {matching, checks.first_file}), COLOUR_INFO, true);
}

}  // namespace

void run_check(JoinContext& job) { CheckRun(job).run(); }

}  // namespace mendlet
