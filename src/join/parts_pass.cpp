#include "join/parts_pass.h"

#include <string_view>

#include "checksum/checksum_finder.h"
#include "core/output_path.h"
#include "core/part_list.h"
#include "core/path_compare.h"
#include "join/join_files.h"
#include "join/join_window.h"
#include "lang/text_format.h"
#include "lang/text_names.h"
#include "lang/text_table.h"

namespace mendlet {

namespace {

std::wstring folder_of(const std::wstring& path) {
    const std::size_t end = path.find_last_of(L"\\/");
    return path.substr(0, end == std::wstring::npos ? 0 : end);
}

}  // namespace

std::optional<SetChecks> PartsPass::collect_set_checks(const JobInputs& inputs, bool append) {
    for (const PartEntry& entry : list_) part_paths_.push_back(entry.path);
    const std::vector<std::wstring> names = joined_file_names(inputs, append);
    const std::vector<ChecksumFile> files = find_checksum_files(names);
    if (job_.flags.stop_requested || refuse_incomplete_set(files)) return std::nullopt;
    if (const ChecksumFile* unreadable = first_unreadable(files)) unreadable_checksum_file_ = unreadable->name;
    SetCheckCollector collector(names, part_paths_, [this](const std::wstring& path) {
        return job_.files.existing(path) != ExistingOutput::none;
    });
    for (const ChecksumFile& file : files) {
        if (job_.flags.stop_requested) return std::nullopt;
        collector.add(file);
    }
    return std::move(collector).finish();
}

// The set's name, as the first part gives it, and in normal mode the output's own when the
// user named it otherwise: checksum files beside the parts go with the set.
std::vector<std::wstring> PartsPass::joined_file_names(const JobInputs& inputs, bool append) const {
    const std::wstring set_name = derive_output_name(list_.first()->path, texts().messages[MSG_NO_DOT_SUFFIX]);
    std::vector<std::wstring> names{std::wstring(last_name_component(set_name))};
    const std::wstring_view own = last_name_component(inputs.output_path);
    if (!append && !own.empty() && compare_names_ignoring_case(own, names.front()) != 0) names.emplace_back(own);
    return names;
}

// Those in the first part's folder that go with any of the names or with a part, then
// those one folder up, where a listing of CD1\x.001 and CD2\x.001 lies beside the folders.
std::vector<ChecksumFile> PartsPass::find_checksum_files(const std::vector<std::wstring>& names) const {
    const CancellableIoScope reading(job_.flags.file_io);
    const auto stopped = [this] { return job_.flags.stop_requested.load(); };
    const std::wstring folder = folder_of(list_.first()->path);
    std::vector<ChecksumFile> files = job_.files.checksum_files(folder, names, part_paths_, stopped);
    std::wstring above = folder_of(folder);
    if (above.empty()) return files;
    if (above.back() == L':') above += L'\\';
    for (ChecksumFile& file : job_.files.checksum_files(above, names, {}, stopped)) {
        // Nothing beside the parts is said by what lies above them.
        if (file.entries.empty()) continue;
        file.above_parts = true;
        files.push_back(std::move(file));
    }
    return files;
}

bool PartsPass::refuse_incomplete_set(const std::vector<ChecksumFile>& files) {
    const std::optional<UnlistedPart> unlisted = first_part_not_in_list(files, part_paths_);
    if (!unlisted) return false;
    window_.show_status(format_text(texts().verify[VERIFY_PART_NOT_IN_LIST], {unlisted->name, unlisted->checksum_file}),
                        COLOUR_ERROR, false);
    return true;
}

SetVerdict PartsPass::verdict(std::function<bool()> distinct) const {
    SetFacts facts{{}, {}, std::move(distinct)};
    for (const PartEntry& entry : list_) {
        facts.ordinals.push_back(entry.ordinal);
        facts.of_set.push_back(is_part_of_set(last_name_component(entry.path), list_.first()->path));
    }
    return digests_->verdict(facts);
}

std::optional<std::size_t> PartsPass::start_digests(bool crc32_shown, bool md5_shown, SetChecks checks) {
    digests_.emplace(crc32_shown, md5_shown, std::move(checks), list_.count());
    if (!pipeline_.allocate()) return MSG_LOW_MEMORY;
    if (!pipeline_.start(digests_->for_digest_thread() ? &*digests_ : nullptr)) return MSG_NO_THREAD;
    return std::nullopt;
}

void PartsPass::count_bytes_from(std::uint32_t first) {
    for (std::uint32_t i = first; i < list_.count(); ++i) total_ += list_.at(i)->size;
}

CopyEnd PartsPass::read_part(JoinFile& part, bool write, bool stop_at_damage) {
    for (;;) {
        std::uint8_t* space = pipeline_.chunk_space();
        const std::optional<std::uint32_t> n = part.read(space, JOIN_CHUNK_SIZE);
        // A read that fails part-way ends the part: a join would have a hole in its output.
        if (!n) return CopyEnd::read_failed;
        if (*n == 0) return CopyEnd::completed;
        done_ += *n;
        report_progress();
        // The chunk at which the stop is seen is neither hashed nor written.
        if (job_.flags.stop_requested) return CopyEnd::stopped;
        // A join of a part found not to match its checksum file needs no more of the others.
        if (stop_at_damage && digests_->part_failed()) return CopyEnd::damaged;
        feed_crc(space, *n);
        if (!pipeline_.commit(*n, write)) return CopyEnd::write_failed;
    }
}

void PartsPass::report_progress() {
    const std::uint32_t permille = progress_permille(done_, total_);
    if (permille == last_permille_) return;
    last_permille_ = permille;
    window_.show_progress(permille);
}

}  // namespace mendlet
