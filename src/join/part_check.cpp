#include "join/part_check.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/part_list.h"
#include "join/join_files.h"
#include "join/join_window.h"
#include "join/parts_pass.h"
#include "lang/text_format.h"
#include "lang/text_names.h"
#include "lang/text_table.h"

namespace mendlet {

namespace {

class CheckRun : private PartsPass {
public:
    explicit CheckRun(JoinContext& job) : PartsPass(job) {}
    void run();

private:
    bool read_parts();
    void mark_parts(const SetVerdict& verdict);
    std::wstring outcome(const SetVerdict& verdict, bool& good) const;
    std::wstring part_outcome(const SetVerdict& verdict, bool& good) const;

    std::vector<bool> unreadable_;
};

void CheckRun::run() {
    if (job_.flags.stop_requested || list_.empty()) return;
    const JobInputs inputs = window_.read_job_inputs();
    std::optional<SetChecks> checks = collect_set_checks(inputs, inputs.append_to_first);
    if (!checks) return;
    if (const std::optional<std::size_t> failure = start_digests(false, false, std::move(*checks))) {
        window_.show_status(texts().messages[*failure], COLOUR_ERROR, true);
        return;
    }
    window_.start_taskbar_progress();
    count_bytes_from(0);
    const bool read_all = read_parts();
    finish_pass();
    // A stopped check says nothing of the parts it did not finish.
    if (!read_all) return;
    // Every part was read once, each from a handle of its own: "verified" is no claim here.
    const SetVerdict verdict = PartsPass::verdict([] { return true; });
    mark_parts(verdict);
    bool good = false;
    std::wstring text = outcome(verdict, good);
    if (!missing_parts_.empty()) text = joined_texts(missing_part_text(), text);
    // What a check found stays until the next command.
    window_.show_status(text, good ? COLOUR_INFO : COLOUR_ERROR, false);
}

// A part that cannot be read is marked at once, and the check goes on with the next one.
bool CheckRun::read_parts() {
    const CancellableIoScope reading(job_.flags.file_io);
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

// Each part the chosen listing speaks for is marked; the others keep their status.
void CheckRun::mark_parts(const SetVerdict& verdict) {
    for (std::uint32_t i = 0; i < list_.count(); ++i) {
        if (unreadable_[i]) continue;
        if (verdict.parts[i] == PartMatch::matches) window_.mark_part(list_, i, STATUS_CHECKSUM_MATCHES);
        if (verdict.parts[i] == PartMatch::differs) window_.mark_part(list_, i, STATUS_CHECKSUM_MISMATCH);
    }
}

// The whole file's digest speaks for every part, but only when each one could be read.
std::wstring CheckRun::outcome(const SetVerdict& verdict, bool& good) const {
    const TextSection& verify = texts().verify;
    const std::int32_t count = static_cast<std::int32_t>(list_.count());
    const auto unreadable = static_cast<std::int32_t>(std::count(unreadable_.begin(), unreadable_.end(), true));
    std::int32_t damaged = 0;
    for (std::uint32_t i = 0; i < list_.count(); ++i) damaged += !unreadable_[i] && verdict.parts[i] == PartMatch::differs;
    good = false;
    std::vector<bool> failed = unreadable_;
    for (std::uint32_t i = 0; i < list_.count(); ++i) failed[i] = failed[i] || verdict.parts[i] == PartMatch::differs;
    if (damaged > 0) {
        const std::wstring file = verdict.file_of(*verdict.first_damaged());
        const std::optional<std::size_t> set = recovery_set_named(file);
        if (!set)
            return format_text(counted(verify, VERIFY_SOME_DO_NOT_MATCH, VERIFY_SOME_DO_NOT_MATCH_ONE, damaged),
                               {damaged, count, file});
        return joined_texts(format_text(counted(verify, VERIFY_SOME_DO_NOT_MATCH_SET, VERIFY_SOME_DO_NOT_MATCH_SET_ONE,
                                                damaged),
                                        {damaged, count, file}),
                            slices_text(damaged_slices(*set, failed), *set));
    }
    if (unreadable > 0) {
        std::wstring text = format_text(counted(verify, VERIFY_CANNOT_BE_READ, VERIFY_CANNOT_BE_READ_ONE, unreadable),
                                        {unreadable, count});
        // A part that a recovery set lists and that cannot be read is all to be rebuilt.
        for (std::size_t set = 0; set < recovery_sets_.size(); ++set)
            if (const std::uint64_t lost = damaged_slices(set, unreadable_); lost > 0)
                return joined_texts(std::move(text), slices_text(lost, set));
        return text;
    }
    if (verdict.whole_file_failed != nullptr) {
        const std::wstring& file = verdict.whole_file_failed->values.front().second;
        return with_whole_file_slices(format_text(verify[VERIFY_TOGETHER_DO_NOT_MATCH], {file}), file);
    }
    good = true;
    if (!verdict.whole_file_matched_by.empty())
        return format_text(counted(verify, VERIFY_ALL_MATCH, VERIFY_ALL_MATCH_ONE, count),
                           {count, verdict.whole_file_matched_by});
    if (verdict.chosen == nullptr)
        return format_text(counted(verify, VERIFY_NONE_LISTED, VERIFY_NONE_LISTED_ONE, count), {count});
    return part_outcome(verdict, good);
}

// Every part read, none damaged: how many the chosen listing vouches for.
std::wstring CheckRun::part_outcome(const SetVerdict& verdict, bool& good) const {
    const TextSection& verify = texts().verify;
    const auto count = static_cast<std::int32_t>(list_.count());
    const auto matching = static_cast<std::int32_t>(verdict.count(PartMatch::matches));
    if (matching == count)
        return format_text(counted(verify, VERIFY_ALL_MATCH, VERIFY_ALL_MATCH_ONE, count), {count, verdict.chosen->name});
    const std::int32_t others = count - matching;
    const std::size_t text = matching == 1 ? (others == 1 ? VERIFY_ONE_LISTED_ONE_NOT : VERIFY_ONE_LISTED_MATCHES)
                             : others == 1 ? VERIFY_ONE_NOT_LISTED
                                           : VERIFY_SOME_LISTED_MATCH;
    good = matching > 0;
    return format_text(verify[text], {matching, verdict.chosen->name, others});
}

}  // namespace

void run_check(JoinContext& job) { CheckRun(job).run(); }

}  // namespace mendlet
