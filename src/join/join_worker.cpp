#include "join/join_worker.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/list_checks.h"
#include "core/output_path.h"
#include "core/part_list.h"
#include "join/copy_pipeline.h"
#include "join/job_digests.h"
#include "join/join_checks.h"
#include "join/join_files.h"
#include "join/join_window.h"
#include "join/temporary_output.h"
#include "lang/text_format.h"
#include "lang/text_table.h"
#include "settings/settings.h"

namespace mendlet {

namespace {

// Indices into the messages section.
constexpr std::size_t MSG_LOW_MEMORY = 0;
constexpr std::size_t MSG_NO_THREAD = 1;
constexpr std::size_t MSG_READY = 3;
constexpr std::size_t MSG_JOINED = 6;
constexpr std::size_t MSG_CANNOT_OPEN = 10;
constexpr std::size_t MSG_CANNOT_CREATE = 11;
constexpr std::size_t MSG_WRITE_FAILED = 12;
constexpr std::size_t MSG_OVERWRITE = 15;
constexpr std::size_t MSG_NO_OUTPUT_PATH = 16;
constexpr std::size_t MSG_NO_DOT_SUFFIX = 25;
constexpr std::size_t MSG_KEPT_AS = 26;
// Indices into the verify section.
constexpr std::size_t VERIFIED = 0;
constexpr std::size_t WHOLE_FILE_DAMAGED = 1;
constexpr std::size_t PART_DAMAGED = 2;

// How the copy of the parts ended; damaged: a part does not match its checksum file.
enum class CopyEnd { completed, stopped, read_failed, write_failed, damaged };

class JoinRun {
public:
    explicit JoinRun(JoinContext& job) : job_(job), window_(job.window), list_(job.list) {}
    bool run();

private:
    bool fail(std::size_t message);
    bool checks_allow_join();
    bool start_digests(const JobInputs& inputs);
    JoinChecks find_checks(const JobInputs& inputs) const;
    bool complete(const JobInputs& inputs);
    bool open_append_output();
    bool open_normal_output(const std::wstring& box_text);
    bool output_is_a_part() const;
    CopyEnd hash_first_part();
    CopyEnd copy_parts();
    CopyEnd copy_part(JoinFile& part);
    void report_progress();
    void feed_crc(const std::uint8_t* bytes, std::uint32_t n);
    bool end_failed_copy(CopyEnd end);
    void discard_output();
    bool end_damaged_part(std::uint32_t part, const DigestCheck& check);
    bool end_damaged_file(const DigestCheck& check);
    bool give_output_its_name();
    void show_digests();
    void delete_parts();

    JoinContext& job_;
    JoinWindow& window_;
    PartList& list_;
    bool append_ = false;
    std::optional<JobDigests> digests_;
    // The part being read.
    std::uint32_t part_ = 0;
    std::wstring output_path_;
    // Normal mode writes here, and the file takes the output's name once complete.
    std::wstring temporary_path_;
    bool overwrite_agreed_ = false;
    std::unique_ptr<JoinFile> output_;
    std::uint64_t append_original_size_ = 0;
    std::uint32_t start_index_ = 0;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    std::uint32_t last_permille_ = 0;
    // Declared last: its thread uses the digests above, so it finishes before they go.
    CopyPipeline pipeline_;
};

bool JoinRun::fail(std::size_t message) {
    window_.show_status(job_.texts.messages[message], COLOUR_ERROR, true);
    return false;
}

bool JoinRun::checks_allow_join() {
    const Settings& settings = job_.settings;
    if (!settings.test_missing_before_join && !settings.test_size_before_join) return true;
    return check_before_join(list_, settings.test_missing_before_join, settings.test_size_before_join, job_.texts,
                             window_, 0);
}

// With Exit ticked or hashing switched off nothing is computed, so nothing is checked.
bool JoinRun::start_digests(const JobInputs& inputs) {
    const bool hashing = !inputs.exit_when_done && !inputs.hashing_disabled;
    digests_.emplace(hashing && inputs.crc32_checked, hashing && inputs.md5_checked,
                     hashing ? find_checks(inputs) : JoinChecks{}, list_.count());
    if (!pipeline_.allocate()) return fail(MSG_LOW_MEMORY);
    if (!pipeline_.start(digests_->for_digest_thread() ? &*digests_ : nullptr)) return fail(MSG_NO_THREAD);
    return true;
}

// The checksum files in the first part's folder that go with the output's name, the
// normal-mode name also in append mode.
JoinChecks JoinRun::find_checks(const JobInputs& inputs) const {
    if (list_.empty()) return {};
    const std::wstring& first = list_.first()->path;
    const std::wstring output = inputs.append_to_first
                                    ? derive_output_name(first, job_.texts.messages[MSG_NO_DOT_SUFFIX])
                                    : inputs.output_path;
    const std::wstring_view name = last_name_component(output);
    if (name.empty()) return {};
    const std::size_t folder_end = first.find_last_of(L"\\/");
    const std::wstring folder = first.substr(0, folder_end == std::wstring::npos ? 0 : folder_end);
    std::vector<std::wstring> part_paths;
    for (const PartEntry& entry : list_) part_paths.push_back(entry.path);
    return collect_checks(job_.files.checksum_files(folder, std::wstring(name)), name, part_paths);
}

bool JoinRun::run() {
    // The window was closed while the job was starting: nothing is asked, nothing written.
    if (job_.flags.stop_requested) return false;
    const JobInputs inputs = window_.read_job_inputs();
    if (!checks_allow_join()) {
        window_.reset_status();
        return false;
    }
    if (!start_digests(inputs)) return false;
    append_ = inputs.append_to_first;
    if (!(append_ ? open_append_output() : open_normal_output(inputs.output_path))) return false;
    pipeline_.set_output(*output_);

    window_.start_taskbar_progress();
    for (std::uint32_t i = start_index_; i < list_.count(); ++i) total_ += list_.at(i)->size;
    const CopyEnd end = copy_parts();
    pipeline_.finish();
    digests_->finish();
    if (end == CopyEnd::completed || end == CopyEnd::damaged) {
        if (const auto failed = digests_->failed_part()) return end_damaged_part(failed->first, *failed->second);
    }
    if (end != CopyEnd::completed) return end_failed_copy(end);
    output_.reset();
    if (!append_ && !give_output_its_name()) return false;
    return complete(inputs);
}

// The digests, the message and the "When done" actions of a job that copied everything.
bool JoinRun::complete(const JobInputs& inputs) {
    show_digests();
    if (const DigestCheck* failed = digests_->failed_whole_file_check()) return end_damaged_file(*failed);
    const CompletionChoices choices = window_.read_completion_choices();
    const JoinChecks& checks = digests_->checks();
    const std::wstring joined = checks.empty() ? std::wstring(job_.texts.messages[MSG_JOINED])
                                               : format_text(job_.texts.verify[VERIFIED], {checks.first_file});
    window_.show_status(joined, COLOUR_INFO, choices.remove_all_after_join);
    if (choices.open_output_folder) window_.open_output_folder(output_path_);
    if (choices.open_output_file) window_.open_output_file(output_path_);
    if (choices.delete_parts) delete_parts();
    if (choices.remove_all_after_join) window_.empty_list();
    return inputs.exit_when_done;
}

bool JoinRun::open_append_output() {
    if (list_.empty()) return fail(MSG_CANNOT_OPEN);
    output_path_ = list_.first()->path;
    output_ = job_.files.open_for_append(output_path_);
    if (output_ == nullptr) {
        window_.mark_part(list_, 0, STATUS_CANNOT_WRITE);
        return fail(MSG_CANNOT_OPEN);
    }
    if (digests_->any()) {
        const CopyEnd end = hash_first_part();
        if (end == CopyEnd::stopped) return false;
        // Digests of an unreadable first part would describe a file that does not exist.
        if (end == CopyEnd::read_failed) {
            window_.mark_part(list_, 0, STATUS_CANNOT_READ);
            return fail(MSG_CANNOT_OPEN);
        }
    }
    const std::optional<std::uint64_t> end = output_->seek_to_end();
    if (!end) {
        window_.mark_part(list_, 0, STATUS_CANNOT_WRITE);
        return fail(MSG_CANNOT_OPEN);
    }
    append_original_size_ = *end;
    start_index_ = 1;
    return true;
}

bool JoinRun::open_normal_output(const std::wstring& box_text) {
    if (box_text.empty()) return fail(MSG_NO_OUTPUT_PATH);
    output_path_ = box_text;
    // Creating the output truncates it: it must not be one of the files to be read.
    if (output_is_a_part()) return fail(MSG_CANNOT_CREATE);
    if (job_.files.exists(output_path_)) {
        const Question question{job_.texts.messages[MSG_OVERWRITE], APP_CAPTION, Question::Icon::question, false};
        if (!window_.ask_yes_no(question)) {
            window_.set_status_text(job_.texts.messages[MSG_READY]);
            return false;
        }
        overwrite_agreed_ = true;
    }
    // The output's name shows a whole file or, as before the job, none or the old one.
    temporary_path_ = temporary_output_path(output_path_);
    output_ = job_.files.create_output(temporary_path_);
    if (output_ == nullptr) return fail(MSG_CANNOT_CREATE);
    return true;
}

// A file that cannot take the name (an old output held open by another program, say) stays
// whole under its own, and the status line says where.
bool JoinRun::give_output_its_name() {
    if (job_.files.rename_output(temporary_path_, output_path_, overwrite_agreed_)) return true;
    std::wstring text = job_.texts.messages[MSG_CANNOT_CREATE];
    text += L' ';
    text += format_text(job_.texts.messages[MSG_KEPT_AS], {temporary_path_});
    window_.show_status(text, COLOUR_ERROR, false);
    return false;
}

bool JoinRun::output_is_a_part() const {
    const std::optional<FileIdentity> output = job_.files.identity(output_path_);
    if (!output) return false;
    return std::any_of(list_.begin(), list_.end(),
                       [&](const PartEntry& entry) { return job_.files.identity(entry.path) == output; });
}

// Feeds the first part's existing bytes to the digests; nothing is written or counted. A
// stop is honoured here too, so that a long first part does not hold up an exit.
CopyEnd JoinRun::hash_first_part() {
    pipeline_.begin_part(part_ = 0);
    for (;;) {
        std::uint8_t* space = pipeline_.chunk_space();
        const std::optional<std::uint32_t> n = output_->read(space, JOIN_CHUNK_SIZE);
        if (!n) return CopyEnd::read_failed;
        if (*n == 0) return CopyEnd::completed;
        if (job_.flags.stop_requested) return CopyEnd::stopped;
        feed_crc(space, *n);
        pipeline_.commit(*n, false);
        if (digests_->part_failed()) return CopyEnd::damaged;
    }
}

CopyEnd JoinRun::copy_parts() {
    for (std::uint32_t i = start_index_; i < list_.count(); ++i) {
        pipeline_.begin_part(part_ = i);
        const std::unique_ptr<JoinFile> part = job_.files.open_part(list_.at(i)->path);
        if (part == nullptr) {
            window_.mark_part(list_, i, STATUS_CANNOT_READ);
            return CopyEnd::read_failed;
        }
        const CopyEnd end = copy_part(*part);
        if (end == CopyEnd::read_failed) window_.mark_part(list_, i, STATUS_CANNOT_READ);
        if (end != CopyEnd::completed) return end;
        if (job_.flags.stop_requested) return CopyEnd::stopped;
        if (digests_->part_failed()) return CopyEnd::damaged;
    }
    return CopyEnd::completed;
}

CopyEnd JoinRun::copy_part(JoinFile& part) {
    for (;;) {
        std::uint8_t* space = pipeline_.chunk_space();
        const std::optional<std::uint32_t> n = part.read(space, JOIN_CHUNK_SIZE);
        // A read that fails part-way would leave a hole in the output: the job fails.
        if (!n) return CopyEnd::read_failed;
        if (*n == 0) return CopyEnd::completed;
        done_ += *n;
        report_progress();
        // The chunk at which the stop is seen is neither hashed nor written.
        if (job_.flags.stop_requested) return CopyEnd::stopped;
        // A part found not to match its checksum file needs no more of the others.
        if (digests_->part_failed()) return CopyEnd::damaged;
        feed_crc(space, *n);
        if (!pipeline_.commit(*n, true)) return CopyEnd::write_failed;
    }
}

void JoinRun::report_progress() {
    const std::uint32_t permille = progress_permille(done_, total_);
    if (permille == last_permille_) return;
    last_permille_ = permille;
    window_.show_progress(permille);
}

void JoinRun::feed_crc(const std::uint8_t* bytes, std::uint32_t n) { digests_->feed_on_reader(part_, bytes, n); }

bool JoinRun::end_failed_copy(CopyEnd end) {
    discard_output();
    if (end == CopyEnd::write_failed) return fail(MSG_WRITE_FAILED);
    if (end == CopyEnd::read_failed) return fail(MSG_CANNOT_OPEN);
    return false;  // stopped: no message
}

// The first part gets back the size it had, so no half join stays glued to it. If even that
// fails there is nothing better left to do than report the failure itself. A normal join's
// unfinished file goes, and the output's name is as it was.
void JoinRun::discard_output() {
    if (append_) output_->truncate(append_original_size_);
    output_.reset();
    if (!append_) job_.files.delete_files({temporary_path_}, false);
}

// The part to fetch again is named, and its row says so; nothing of the join stays.
bool JoinRun::end_damaged_part(std::uint32_t part, const DigestCheck& check) {
    discard_output();
    window_.mark_part(list_, part, STATUS_CHECKSUM_MISMATCH);
    const std::wstring_view name = last_name_component(list_.at(part)->path);
    window_.show_status(format_text(job_.texts.verify[PART_DAMAGED], {name, check.file}), COLOUR_ERROR, false);
    return false;
}

// The joined file is kept for the user to judge, but nothing is done with it.
bool JoinRun::end_damaged_file(const DigestCheck& check) {
    const std::wstring text =
        format_text(job_.texts.verify[WHOLE_FILE_DAMAGED], {digest_name(check.expected.kind), check.file});
    window_.show_status(text, COLOUR_ERROR, false);
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

bool run_join(JoinContext& job) { return JoinRun(job).run(); }

void join_thread_main(JoinContext& job) {
    job.window.job_started();
    job.flags.join_running = true;
    job.window.show_busy_state();
    const bool close = run_join(job);
    job.window.show_idle_state();
    job.flags.join_running = false;
    job.window.job_ended();
    if (close) job.window.request_close();
}

}  // namespace mendlet
