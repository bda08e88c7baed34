#include "join/join_worker.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/list_checks.h"
#include "core/part_list.h"
#include "join/join_files.h"
#include "join/join_window.h"
#include "join/part_check.h"
#include "join/parts_pass.h"
#include "join/temporary_output.h"
#include "core/names_beside.h"
#include "recovery/par2_names.h"
#include "lang/text_format.h"
#include "lang/text_names.h"
#include "lang/text_table.h"
#include "settings/settings.h"

namespace mendlet {

namespace {

class JoinRun : private PartsPass {
public:
    explicit JoinRun(JoinContext& job) : PartsPass(job), first_part_(job.flags.appended_first_part) {}
    // A first part left growing by any way out is cut back; one completed was let go before.
    ~JoinRun();
    JoinRun(const JoinRun&) = delete;
    JoinRun& operator=(const JoinRun&) = delete;
    bool run();

private:
    JoinFile& output() { return append_ ? static_cast<JoinFile&>(first_part_) : *output_; }
    bool fail(std::size_t message);
    bool end_failed(std::wstring text, bool timed);
    bool checks_allow_join();
    bool start_digests(const JobInputs& inputs, SetChecks checks);
    bool complete(const JobInputs& inputs);
    bool store_output(bool flush);
    bool open_append_output();
    bool open_normal_output(const std::wstring& box_text);
    bool create_unfinished_file();
    bool keep_beside_old_output();
    const std::vector<std::optional<FileIdentity>>& part_identities();
    bool output_is_a_part();
    bool parts_distinct();
    CopyEnd hash_first_part();
    CopyEnd copy_parts();
    bool end_failed_copy(CopyEnd end);
    std::wstring discard_output();
    bool cut_back_first_part();
    bool end_damaged_part(std::uint32_t part);
    bool end_missing_part();
    std::optional<bool> repair_damage(const RepairChoice& choice);
    std::wstring repaired_text() const;
    std::wstring failed_check_text() const;
    bool end_failed_check();
    bool end_failed_append_check();
    bool give_output_its_name(bool failed_check);
    void show_digests();
    void delete_parts();

    AppendedFirstPart& first_part_;
    bool append_ = false;
    std::optional<std::vector<std::optional<FileIdentity>>> part_identities_;
    // What the parts that the copy opened said of themselves, by index.
    std::vector<std::optional<FileIdentity>> opened_identities_;
    std::wstring output_path_;
    // Normal mode writes here, and the file takes the output's name once complete.
    std::wstring temporary_path_;
    bool overwrite_agreed_ = false;
    std::unique_ptr<JoinFile> output_;
    // The system reported at the close that it could not store all of the grown first part.
    bool first_part_closed_badly_ = false;
    std::uint32_t start_index_ = 0;
    // No row showed a warning or an error when the job started.
    bool rows_clean_ = true;
    std::optional<SetVerdict> verdict_;
    // Where a joined file that failed its check went, beside the older output it left alone.
    std::wstring kept_path_;
    // The set that rebuilt the damage, and how many slices it rebuilt.
    std::optional<std::pair<std::size_t, std::uint64_t>> repaired_;
    // The damage a set could have rebuilt, but for its recovery slices.
    std::optional<TooFewRecoverySlices> too_few_;
};

JoinRun::~JoinRun() {
    if (!append_) return;
    first_part_.cut_back();
    first_part_.close();
}

bool JoinRun::fail(std::size_t message) { return end_failed(texts().messages[message], true); }

// What the job wrote goes, and the message says what could not be undone; a stop without
// such a remainder shows nothing.
bool JoinRun::end_failed(std::wstring text, bool timed) {
    const std::wstring left = discard_output();
    if (!left.empty()) timed = false;
    text = joined_texts(std::move(text), left);
    if (!text.empty()) window_.show_status(text, COLOUR_ERROR, timed);
    return false;
}

bool JoinRun::checks_allow_join() {
    const Settings& settings = job_.settings;
    if (!settings.test_missing_before_join && !settings.test_size_before_join) return true;
    // Parts of the set beyond the last one listed, left out by a gap, are missing too.
    const std::uint32_t highest_found =
        settings.test_missing_before_join ? job_.files.highest_part_number(list_.first()->path) : 0;
    std::vector<std::uint32_t> rebuilt;
    for (const MissingPart& part : missing_parts_) rebuilt.push_back(part.ordinal);
    return check_before_join(list_, settings.test_missing_before_join, settings.test_size_before_join, texts(), window_,
                             highest_found, rebuilt);
}

// The boxes show only the digests ticked, and none with Exit ticked or hashing switched off;
// what the checksum files list is checked whatever they say.
bool JoinRun::start_digests(const JobInputs& inputs, SetChecks checks) {
    const bool shown = !inputs.exit_when_done && !inputs.hashing_disabled;
    const std::optional<std::size_t> failure =
        PartsPass::start_digests(shown && inputs.crc32_checked, shown && inputs.md5_checked, std::move(checks));
    return !failure || fail(*failure);
}

bool JoinRun::run() {
    // The window was closed while the job was starting: nothing is asked, nothing written.
    if (job_.flags.stop_requested || list_.empty()) return false;
    const JobInputs inputs = window_.read_job_inputs();
    append_ = inputs.append_to_first;
    rows_clean_ = std::all_of(list_.begin(), list_.end(), [](const PartEntry& entry) { return entry.category == 0; });
    std::optional<SetChecks> checks = collect_set_checks(inputs, append_);
    if (!checks) return false;
    if (!checks_allow_join()) {
        window_.reset_status();
        return false;
    }
    if (!start_digests(inputs, std::move(*checks))) return false;
    if (!(append_ ? open_append_output() : open_normal_output(inputs.output_path))) return false;
    pipeline_.set_output(output());

    window_.start_taskbar_progress();
    count_bytes_from(start_index_);
    const CopyEnd end = copy_parts();
    finish_pass();
    if (end == CopyEnd::completed || end == CopyEnd::damaged) {
        verdict_ = verdict([this] { return parts_distinct(); });
        if (end == CopyEnd::completed) {
            RepairDecision decision = repair_decision(*verdict_, append_);
            too_few_ = decision.too_few;
            if (decision.repair)
                if (const std::optional<bool> ended = repair_damage(*decision.repair)) return *ended;
        }
        if (!repaired_) {
            if (const std::optional<std::uint32_t> damaged = verdict_->first_damaged())
                return end_damaged_part(*damaged);
            if (!missing_parts_.empty() && end == CopyEnd::completed) return end_missing_part();
        }
    }
    if (end != CopyEnd::completed) return end_failed_copy(end);
    return complete(inputs);
}

// The digests, the message and the "When done" actions of a job that copied everything. Only
// a join whose word is good may delete the parts or close the window: one verified, or one
// that nothing could check, with no row that looked wrong.
bool JoinRun::complete(const JobInputs& inputs) {
    const CompletionChoices choices = window_.read_completion_choices();
    const SetVerdict& verdict = *verdict_;
    const bool failed_check = verdict.whole_file_failed != nullptr || verdict.out_of_order;
    if (failed_check && append_) {
        show_digests();
        return end_failed_append_check();
    }
    const bool verified = !verdict.verified_by.empty() || repaired_;
    const bool unchecked = digests_->checks().empty() && unreadable_checksum_file_.empty();
    const bool deletes = choices.delete_parts && !failed_check && (verified || (unchecked && rows_clean_));
    // On the disk before anything that cannot be undone: an old output replaced, the parts
    // deleted. Without either, the system writes it out in its own time.
    if (!store_output(overwrite_agreed_ || deletes)) return end_failed_copy(CopyEnd::write_failed);
    if (!append_ && !give_output_its_name(failed_check)) return false;
    show_digests();
    if (failed_check) return end_failed_check();
    std::wstring text = repaired_  ? repaired_text()
                        : verified ? format_text(texts().verify[VERIFY_VERIFIED], {verdict.verified_by})
                        : !unreadable_checksum_file_.empty()
                            ? format_text(texts().verify[VERIFY_NOTHING_VERIFIED], {unreadable_checksum_file_})
                            : std::wstring(texts().messages[MSG_JOINED]);
    const bool parts_kept = choices.delete_parts && !deletes;
    if (parts_kept) text = joined_texts(std::move(text), texts().messages[MSG_PARTS_NOT_DELETED]);
    // What a check found stays until the next command, however the list is left.
    const bool timed = choices.remove_all_after_join && unchecked && !parts_kept;
    window_.show_status(text, COLOUR_INFO, timed);
    if (choices.open_output_folder) window_.open_output_folder(output_path_);
    if (choices.open_output_file) window_.open_output_file(output_path_);
    if (deletes) delete_parts();
    if (choices.remove_all_after_join) window_.empty_list(!timed);
    return inputs.exit_when_done && (verified || unchecked);
}

// False when the system could not store every byte: a flush that fails, or a share that
// reports at the close a write it could not make.
bool JoinRun::store_output(bool flush) {
    JoinFile& file = output();
    if (flush && !file.flush()) return false;
    if (file.close()) return true;
    first_part_closed_badly_ = append_;
    return false;
}

bool JoinRun::open_append_output() {
    output_path_ = list_.first()->path;
    std::unique_ptr<JoinFile> file = job_.files.open_for_append(output_path_);
    if (file == nullptr) {
        window_.mark_part(list_, 0, STATUS_CANNOT_WRITE);
        return fail(MSG_CANNOT_OPEN);
    }
    first_part_.open(std::move(file), output_path_);
    if (digests_->any()) {
        const CopyEnd end = hash_first_part();
        if (end == CopyEnd::stopped) return end_failed_copy(end);
        // Digests of an unreadable first part would describe a file that does not exist.
        if (end == CopyEnd::read_failed) {
            window_.mark_part(list_, 0, STATUS_CANNOT_READ);
            return fail(MSG_CANNOT_OPEN);
        }
    }
    const std::optional<std::uint64_t> size = first_part_.seek_to_end();
    if (!size) {
        window_.mark_part(list_, 0, STATUS_CANNOT_WRITE);
        return fail(MSG_CANNOT_OPEN);
    }
    copied_[0] = *size;
    start_index_ = 1;
    return true;
}

bool JoinRun::open_normal_output(const std::wstring& box_text) {
    if (box_text.empty()) return fail(MSG_NO_OUTPUT_PATH);
    output_path_ = box_text;
    // Creating the output truncates it: it must not be one of the files to be read.
    if (output_is_a_part()) return fail(MSG_CANNOT_CREATE);
    switch (job_.files.existing(output_path_)) {
        case ExistingOutput::folder:
            return end_failed(format_text(texts().messages[MSG_OUTPUT_IS_FOLDER], {output_path_}), true);
        case ExistingOutput::unreplaceable:
            // A read-only file would refuse the joined file only at the end.
            return fail(MSG_CANNOT_CREATE);
        case ExistingOutput::file: {
            const Question question{texts().messages[MSG_OVERWRITE], APP_CAPTION, Question::Icon::question, false};
            if (!window_.ask_yes_no(question)) {
                window_.reset_status();
                return false;
            }
            overwrite_agreed_ = true;
            break;
        }
        case ExistingOutput::none:
            break;
    }
    return create_unfinished_file() || fail(MSG_CANNOT_CREATE);
}

// The output's name shows a whole file or, as before the job, none or the old one. Where the
// folder refuses the long unfinished name for its length, a short one serves.
bool JoinRun::create_unfinished_file() {
    for (const std::wstring& path : temporary_output_paths(output_path_)) {
        output_ = job_.files.create_output(path);
        if (output_ != nullptr) {
            temporary_path_ = path;
            return true;
        }
    }
    return false;
}

// A file that cannot take the name (an old output held open by another program, say) stays
// whole under its own, and the status line says where.
bool JoinRun::give_output_its_name(bool failed_check) {
    if (failed_check && overwrite_agreed_) {
        if (keep_beside_old_output()) return true;
    } else if (job_.files.rename_output(temporary_path_, output_path_, overwrite_agreed_)) {
        return true;
    }
    std::wstring text = failed_check ? failed_check_text() : std::wstring(texts().messages[MSG_CANNOT_CREATE]);
    text += L' ';
    text += format_text(texts().messages[MSG_KEPT_AS], {temporary_path_});
    window_.show_status(text, COLOUR_ERROR, false);
    return false;
}

// A joined file known to be bad never takes the place of an older one, which may be good:
// it goes beside it, under the first name free in Windows' way of numbering copies.
bool JoinRun::keep_beside_old_output() {
    for (unsigned number = 2; number < 1000; ++number) {
        const std::wstring path = numbered_copy(output_path_, number);
        if (job_.files.existing(path) != ExistingOutput::none) continue;
        if (!job_.files.rename_output(temporary_path_, path, false)) return false;
        kept_path_ = path;
        return true;
    }
    return false;
}

// Asked once, and only when needed: most outputs do not exist yet, and most joins check
// nothing. A part the copy opened has said which file it is; only the others are opened
// again, which on a share or under Wine takes far longer than the asking.
const std::vector<std::optional<FileIdentity>>& JoinRun::part_identities() {
    if (!part_identities_) {
        part_identities_.emplace();
        for (std::size_t i = 0; i < part_paths_.size(); ++i) {
            const bool opened = i < opened_identities_.size() && opened_identities_[i];
            part_identities_->push_back(opened ? opened_identities_[i] : job_.files.identity(part_paths_[i]));
        }
    }
    return *part_identities_;
}

bool JoinRun::output_is_a_part() {
    const std::optional<FileIdentity> output = job_.files.identity(output_path_);
    if (!output) return false;
    const auto& parts = part_identities();
    return std::find(parts.begin(), parts.end(), output) != parts.end();
}

// Whether every entry is a file of its own, however its path is written.
bool JoinRun::parts_distinct() {
    const auto& identities = part_identities();
    std::set<std::pair<std::uint64_t, std::uint64_t>> files;
    for (const std::optional<FileIdentity>& identity : identities)
        if (!identity || !files.emplace(identity->volume, identity->index).second) return false;
    return true;
}

// Feeds the first part's existing bytes to the digests; nothing is written or counted. A
// stop is honoured here too, so that a long first part does not hold up an exit.
CopyEnd JoinRun::hash_first_part() {
    const CancellableIoScope reading(job_.flags.file_io);
    begin_part(0);
    for (;;) {
        std::uint8_t* space = pipeline_.chunk_space();
        const std::optional<std::uint32_t> n = first_part_.read(space, JOIN_CHUNK_SIZE);
        if (!n) return CopyEnd::read_failed;
        if (*n == 0) return CopyEnd::completed;
        if (job_.flags.stop_requested) return CopyEnd::stopped;
        feed_reader(space, *n);
        pipeline_.commit(*n, false);
        if (!may_repair() && digests_->part_failed()) return CopyEnd::damaged;
    }
}

CopyEnd JoinRun::copy_parts() {
    const CancellableIoScope copying(job_.flags.file_io);
    opened_identities_.resize(list_.count());
    for (std::uint32_t i = start_index_; i < list_.count(); ++i) {
        begin_part(i);
        const std::unique_ptr<JoinFile> part = job_.files.open_part(list_.at(i)->path);
        if (part == nullptr) {
            window_.mark_part(list_, i, STATUS_CANNOT_READ);
            return CopyEnd::read_failed;
        }
        opened_identities_[i] = part->identity();
        // Where a set may rebuild damage, the join goes on past it.
        const bool stop_at_damage = !may_repair();
        const CopyEnd end = read_part(*part, true, stop_at_damage);
        if (end == CopyEnd::read_failed) window_.mark_part(list_, i, STATUS_CANNOT_READ);
        if (end != CopyEnd::completed) return end;
        if (job_.flags.stop_requested) return CopyEnd::stopped;
        if (stop_at_damage && digests_->part_failed()) return CopyEnd::damaged;
    }
    return CopyEnd::completed;
}

bool JoinRun::end_failed_copy(CopyEnd end) {
    if (end == CopyEnd::write_failed) return fail(MSG_WRITE_FAILED);
    if (end == CopyEnd::read_failed) return fail(MSG_CANNOT_OPEN);
    return end_failed({}, true);  // stopped: no message of its own
}

// The first part gets back the size it had, so no half join stays glued to it; a normal
// join's unfinished file goes, and the output's name is as it was. What could not be undone
// comes back as a message.
std::wstring JoinRun::discard_output() {
    if (append_) {
        if (cut_back_first_part()) return {};
        return format_text(texts().messages[MSG_NOT_CUT_BACK], {output_path_, std::to_wstring(first_part_.old_size())});
    }
    output_.reset();
    if (temporary_path_.empty()) return {};
    const std::wstring path = std::exchange(temporary_path_, {});
    if (job_.files.delete_files({path}, false)) return {};
    return format_text(texts().messages[MSG_UNFINISHED_LEFT], {path});
}

bool JoinRun::cut_back_first_part() {
    if (!first_part_closed_badly_) {
        const bool cut = first_part_.cut_back();
        first_part_.close();
        return cut;
    }
    // Closed with an error, the part can only be cut back through a new handle.
    const std::unique_ptr<JoinFile> file = job_.files.open_for_append(output_path_);
    return file != nullptr && file->truncate(first_part_.old_size());
}

// The part to fetch again is named, and its row says so; nothing of the join stays.
bool JoinRun::end_damaged_part(std::uint32_t part) {
    window_.mark_part(list_, part, STATUS_CHECKSUM_MISMATCH);
    const std::wstring_view name = last_name_component(list_.at(part)->path);
    const std::wstring file = verdict_->file_of(part);
    const std::optional<std::size_t> set = recovery_set_named(file);
    if (!set) return end_failed(format_text(texts().verify[VERIFY_PART_DAMAGED], {name, file}), false);
    std::vector<bool> damaged(list_.count(), false);
    damaged[part] = true;
    const std::wstring slices =
        too_few_ && too_few_->set == *set ? too_few_text(*too_few_) : slices_text(damaged_slices(*set, damaged), *set);
    return end_failed(joined_texts(format_text(texts().verify[VERIFY_PART_DOES_NOT_MATCH_SET], {name, file}), slices),
                      false);
}

// A part the list lacks that its set could not rebuild after all.
bool JoinRun::end_missing_part() {
    const std::wstring file = recovery_set_file_name(recovery_sets_[*missing_set_]);
    std::wstring text = format_text(texts().verify[VERIFY_PART_NOT_IN_LIST], {missing_parts_.front().name, file});
    if (too_few_) text = joined_texts(std::move(text), too_few_text(*too_few_));
    return end_failed(std::move(text), false);
}

// None when the job goes on: repaired, or not, with what was found; else how it ended.
std::optional<bool> JoinRun::repair_damage(const RepairChoice& choice) {
    const OutputRepairOutcome outcome = repair(choice, output());
    switch (outcome.end) {
        case OutputRepairEnd::repaired:
            break;
        case OutputRepairEnd::too_few:
        case OutputRepairEnd::singular:
        case OutputRepairEnd::not_verified:
            // Damaged recovery slices leave too few of them.
            if (outcome.end == OutputRepairEnd::too_few)
                too_few_ = TooFewRecoverySlices{choice.set, choice.damaged.size(), outcome.intact};
            // What was written is neither the parts as they came nor the file the set describes.
            if (const std::optional<std::uint32_t> damaged = verdict_->first_damaged())
                return end_damaged_part(*damaged);
            if (!missing_parts_.empty()) return end_missing_part();
            if (verdict_->whole_file_failed != nullptr) return end_failed(failed_check_text(), false);
            return end_failed(
                format_text(texts().verify[VERIFY_WHOLE_FILE_DAMAGED],
                            {digest_name(DigestKind::md5), recovery_set_file_name(recovery_sets_[choice.set])}),
                false);
        case OutputRepairEnd::stopped:
            return end_failed_copy(CopyEnd::stopped);
        case OutputRepairEnd::read_failed:
            return fail(MSG_CANNOT_OPEN);
        case OutputRepairEnd::write_failed:
            return end_failed_copy(CopyEnd::write_failed);
        case OutputRepairEnd::no_memory:
            return fail(MSG_LOW_MEMORY);
    }
    repaired_.emplace(choice.set, choice.damaged.size());
    // The checks of the joined file, made again on the repaired file.
    SetVerdict& verdict = *verdict_;
    verdict.whole_file_failed = nullptr;
    verdict.whole_file_matched_by.clear();
    judge_whole_file(verdict, digests_->checks(), [this](DigestKind kind) { return digests_->whole_file(kind); });
    return std::nullopt;
}

std::wstring JoinRun::repaired_text() const {
    const auto [set, count] = *repaired_;
    return format_text(counted(texts().verify, VERIFY_REPAIRED, VERIFY_REPAIRED_ONE, static_cast<std::int64_t>(count)),
                       {recovery_set_file_name(recovery_sets_[set]), count_arg(count)});
}

// The joined file's own digest does not match, or the parts were joined out of their order.
std::wstring JoinRun::failed_check_text() const {
    const SetVerdict& verdict = *verdict_;
    if (verdict.whole_file_failed == nullptr)
        return format_text(texts().verify[VERIFY_OUT_OF_ORDER], {verdict.chosen->name});
    const WholeFileCheck& check = *verdict.whole_file_failed;
    const std::wstring& file = check.values.front().second;
    std::wstring text = format_text(texts().verify[VERIFY_WHOLE_FILE_DAMAGED], {digest_name(check.kind), file});
    if (too_few_ && recovery_set_named(file) == too_few_->set)
        return joined_texts(std::move(text), too_few_text(*too_few_));
    return with_whole_file_slices(std::move(text), file);
}

// The joined file is kept for the user to judge, but nothing is done with it; an older
// output stays as it was.
bool JoinRun::end_failed_check() {
    std::wstring text = failed_check_text();
    if (!kept_path_.empty())
        text = joined_texts(std::move(text), format_text(texts().messages[MSG_OLD_OUTPUT_KEPT],
                                                         {last_name_component(output_path_),
                                                          last_name_component(kept_path_)}));
    window_.show_status(text, COLOUR_ERROR, false);
    return false;
}

// In append mode the joined file is the first part: it gets its old size back, so that only
// the parts that do not match need fetching again.
bool JoinRun::end_failed_append_check() {
    const std::wstring left = discard_output();
    const SetVerdict& verdict = *verdict_;
    std::wstring text = failed_check_text();
    if (left.empty() && verdict.whole_file_failed != nullptr) {
        const WholeFileCheck& check = *verdict.whole_file_failed;
        text = format_text(texts().verify[VERIFY_FIRST_PART_RESTORED],
                           {digest_name(check.kind), check.values.front().second});
    }
    window_.show_status(joined_texts(text, left), COLOUR_ERROR, false);
    return false;
}

void JoinRun::show_digests() {
    const std::optional<std::string> crc = digests_->shown(DigestKind::crc32);
    const std::optional<std::string> md5 = digests_->shown(DigestKind::md5);
    if (crc || md5) window_.show_digests(crc, md5);
}

void JoinRun::delete_parts() {
    std::vector<std::wstring> paths;
    // In append mode the first part is the output.
    for (std::uint32_t i = append_ ? 1 : 0; i < list_.count(); ++i) paths.push_back(list_.at(i)->path);
    job_.files.delete_files(paths, job_.settings.use_recycle_bin);
}

}  // namespace

std::uint32_t progress_permille(std::uint64_t done, std::uint64_t total) {
    if (done >= total) return done == 0 ? 0 : 1000;
    if (done <= std::numeric_limits<std::uint64_t>::max() / 1000)
        return static_cast<std::uint32_t>(done * 1000 / total);
    // Beyond 18 PB the product would overflow; done < total here, so total / 1000 > 0.
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(done / (total / 1000), 999));
}

const wchar_t* job_activity(const TextTable& texts, JobKind kind) {
    return kind == JobKind::check ? texts.verify[VERIFY_CHECKING] : texts.messages[MSG_JOINING];
}

bool run_join(JoinContext& job) { return JoinRun(job).run(); }

void join_thread_main(JoinContext& job) {
    job.window.job_started();
    job.flags.join_running = true;
    job.window.show_busy_state(job.kind);
    bool close = false;
    if (job.kind == JobKind::check)
        run_check(job);
    else
        close = run_join(job);
    job.window.show_idle_state();
    job.flags.join_running = false;
    job.window.job_ended();
    if (close) job.window.request_close();
}

}  // namespace mendlet
