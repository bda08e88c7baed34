#include "join/parts_pass.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "checksum/checksum_finder.h"
#include "core/ordering.h"
#include "core/output_path.h"
#include "core/part_list.h"
#include "core/path_compare.h"
#include "digest/md5.h"
#include "recovery/par2_names.h"
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

std::wstring PartsPass::parts_folder() const { return folder_of(list_.first()->path); }

std::int32_t PartsPass::count_arg(std::uint64_t count) {
    return static_cast<std::int32_t>(std::min<std::uint64_t>(count, INT32_MAX));
}

std::optional<SetChecks> PartsPass::collect_set_checks(const JobInputs& inputs, bool append) {
    for (const PartEntry& entry : list_) part_paths_.push_back(entry.path);
    copied_.assign(part_paths_.size(), 0);
    joined_names_ = joined_file_names(inputs, append);
    const std::vector<std::wstring>& names = joined_names_;
    std::vector<ChecksumFile> files = find_checksum_files(names);
    add_recovery_sets(names, files);
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
    const std::wstring folder = parts_folder();
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

// Each PAR 2.0 set beside the parts that names one of them or the joined file is a listing
// of its files' MD5s, before the checksum files: where it ties with one of them, it is the
// listing that says which slices are damaged and whether the set can rebuild them. A set of
// another download is passed over. Where none is found, a PAR 2.0 file named after the
// download that gave none is a checksum file that cannot be read.
void PartsPass::add_recovery_sets(const std::vector<std::wstring>& names, std::vector<ChecksumFile>& files) {
    std::vector<std::wstring> subjects = names;
    for (const std::wstring& path : part_paths_) subjects.emplace_back(last_name_component(path));
    const std::wstring folder = parts_folder();
    std::vector<ChecksumFile> listings;
    RecoveryFiles found = job_.files.recovery_files(folder, subjects);
    for (RecoverySet& set : found.sets) {
        ChecksumFile listing{recovery_set_file_name(set), {}, folder};
        bool ours = false;
        for (const SetFile& file : set.files) {
            if (!file.described) continue;
            listing.entries.push_back({file.name, DigestKind::md5, format_md5(file.md5), file.folder});
            ours = ours || std::any_of(subjects.begin(), subjects.end(), [&](const std::wstring& subject) {
                       return compare_names_ignoring_case(file.name, subject) == 0;
                   });
        }
        if (!ours) continue;
        listings.push_back(std::move(listing));
        recovery_sets_.push_back(std::move(set));
    }
    if (listings.empty() && !found.without_set.empty()) listings.push_back({found.without_set.front(), {}, folder});
    files.insert(files.begin(), std::make_move_iterator(listings.begin()), std::make_move_iterator(listings.end()));
}

// A job goes on without parts that a recovery set can rebuild: a join rebuilds them in place.
bool PartsPass::refuse_incomplete_set(const std::vector<ChecksumFile>& files) {
    const std::vector<UnlistedPart> unlisted = parts_not_in_list(files, part_paths_);
    if (unlisted.empty()) return false;
    std::vector<std::wstring> names;
    for (const UnlistedPart& part : unlisted) names.push_back(part.name);
    missing_set_ = set_rebuilding(recovery_sets_, names);
    if (missing_set_) {
        for (const std::wstring& name : names) missing_parts_.push_back({name, extract_ordinal(name)});
        return false;
    }
    const UnlistedPart& first = unlisted.front();
    window_.show_status(format_text(texts().verify[VERIFY_PART_NOT_IN_LIST], {first.name, first.checksum_file}),
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
    if (!recovery_sets_.empty()) slices_.emplace(recovery_sets_, part_paths_, joined_names_);
    std::vector<bool> derived = md5_proven_by_slices(checks);
    digests_.emplace(crc32_shown, md5_shown, std::move(checks), list_.count(), slices_ ? &*slices_ : nullptr,
                     std::move(derived));
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
        feed_reader(space, *n);
        if (!pipeline_.commit(*n, write)) return CopyEnd::write_failed;
        copied_[part_] += *n;
    }
}

std::optional<std::size_t> PartsPass::recovery_set_named(const std::wstring& file) const {
    for (std::size_t set = 0; set < recovery_sets_.size(); ++set)
        if (recovery_set_file_name(recovery_sets_[set]) == file) return set;
    return std::nullopt;
}

std::uint64_t PartsPass::damaged_slices(std::size_t set, const std::vector<bool>& chosen) const {
    std::uint64_t damaged = 0;
    for (std::uint32_t part = 0; part < chosen.size(); ++part)
        if (const std::optional<DamagedSlices> slices = slices_->part(part))
            if (slices->set == set && chosen[part]) damaged += slices->count;
    return damaged;
}

std::wstring PartsPass::slices_text(std::uint64_t damaged, std::size_t set) const {
    const std::uint64_t held = usable_recovery_slices(recovery_sets_[set]);
    const std::size_t text = damaged == 1 ? (held == 1 ? VERIFY_ONE_SLICE_DAMAGED_ONE_HELD : VERIFY_ONE_SLICE_DAMAGED)
                             : held == 1  ? VERIFY_SLICES_DAMAGED_ONE_HELD
                                          : VERIFY_SLICES_DAMAGED;
    return format_text(texts().verify[text], {count_arg(damaged), count_arg(held)});
}

std::wstring PartsPass::with_whole_file_slices(std::wstring text, const std::wstring& file) const {
    const std::optional<std::size_t> set = recovery_set_named(file);
    const std::optional<DamagedSlices> whole = slices_ ? slices_->whole_file() : std::nullopt;
    if (!set || !whole || whole->set != *set) return text;
    return joined_texts(std::move(text), slices_text(whole->count, *set));
}

void PartsPass::finish_pass() {
    pipeline_.finish();
    digests_->finish();
}

void PartsPass::feed_reader(const std::uint8_t* bytes, std::uint32_t n) { digests_->feed_on_reader(part_, bytes, n); }

// A part whose slices a set lists, and whose MD5 only recovery sets list: its slices tell
// whether it is as listed, and taking its MD5 too would double the hashing.
std::vector<bool> PartsPass::md5_proven_by_slices(const SetChecks& checks) const {
    std::vector<bool> derived(part_paths_.size(), false);
    if (!slices_) return derived;
    for (std::uint32_t part = 0; part < derived.size(); ++part) {
        derived[part] = slices_->lists(part);
        for (const Listing& listing : checks.listings) {
            const ListedPart* listed = listing.part(part);
            if (listed == nullptr || recovery_set_named(listing.name)) continue;
            for (const ListedValue& value : listed->values)
                if (value.kind == DigestKind::md5) derived[part] = false;
        }
    }
    return derived;
}

void PartsPass::report_progress() {
    const std::uint32_t permille = progress_permille(done_, total_);
    if (permille == last_permille_) return;
    last_permille_ = permille;
    window_.show_progress(permille);
}

}  // namespace mendlet
