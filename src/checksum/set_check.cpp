#include "checksum/set_check.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/path_compare.h"

namespace mendlet {

namespace {

// Names written as the files are named need no comparison by the system, and names of
// other lengths differ, since case is compared character by character.
bool same_name(std::wstring_view a, std::wstring_view b) {
    return a == b || (a.size() == b.size() && compare_names_ignoring_case(a, b) == 0);
}

// What name_lookup_key keeps of a character.
wchar_t key_character(wchar_t c) {
    const wchar_t lower = static_cast<wchar_t>(c | 0x20);
    return c >= 0x80 || (lower >= L'a' && lower <= L'z') ? L'*' : c;
}

std::wstring_view folder_of(std::wstring_view path) {
    const std::size_t end = path.find_last_of(L"\\/");
    return end == std::wstring_view::npos ? std::wstring_view() : path.substr(0, end);
}

bool is_whole_path(std::wstring_view folder) {
    return folder.starts_with(L'\\') || (folder.size() >= 2 && folder[1] == L':');
}

// The folder and what lies in it, with '\' between all steps; the folder alone when the
// rest is empty.
std::wstring joined_path(std::wstring_view folder, std::wstring_view rest) {
    std::wstring path(folder);
    if (!path.empty() && !rest.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    path += rest;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::size_t trailing_digits(std::wstring_view name) {
    std::size_t count = 0;
    while (count < name.size() && name[name.size() - 1 - count] >= L'0' && name[name.size() - 1 - count] <= L'9')
        ++count;
    return count;
}

// Ordinals that run one after the other, and the weaker rule that they only rise.
bool consecutive(const std::vector<std::uint32_t>& ordinals) {
    return std::adjacent_find(ordinals.begin(), ordinals.end(),
                              [](std::uint32_t a, std::uint32_t b) { return b != a + 1; }) == ordinals.end();
}

bool rising(const std::vector<std::uint32_t>& ordinals) {
    return std::adjacent_find(ordinals.begin(), ordinals.end(), std::greater_equal<>()) == ordinals.end();
}

// What a name listed beside its checksum file names, found once for the entries of one file
// that list it: a file may list one part on tens of thousands of lines, and finding the part
// again for each line took a third of the time their collection took.
struct NamedBy {
    // None before the first.
    std::optional<std::wstring_view> name;
    bool output = false;
    std::vector<std::uint32_t> parts;
};

}  // namespace

std::size_t NameKeyHash::operator()(std::wstring_view name) const {
    std::size_t hash = 14695981039346656037ull & SIZE_MAX;
    for (const wchar_t c : name) hash = (hash ^ static_cast<std::size_t>(key_character(c))) * 1099511628211ull;
    return hash;
}

bool NameKeyEqual::operator()(std::wstring_view a, std::wstring_view b) const {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return key_character(x) == key_character(y);
           });
}

const ListedPart* Listing::part(std::uint32_t index) const {
    const auto found = parts.find(index);
    return found == parts.end() ? nullptr : &found->second;
}

const std::wstring& Listing::file_of(std::uint32_t index) const {
    const ListedPart* listed = part(index);
    return listed != nullptr && !listed->file.empty() ? listed->file : name;
}

DigestKinds SetChecks::whole_file_kinds() const {
    DigestKinds kinds;
    for (const WholeFileCheck& check : whole_file) kinds.add(check.kind);
    return kinds;
}

DigestKinds SetChecks::part_kinds(std::uint32_t part) const {
    DigestKinds kinds;
    for (const Listing& listing : listings)
        if (const ListedPart* listed = listing.part(part))
            for (const ListedValue& value : listed->values) kinds.add(value.kind);
    return kinds;
}

SetCheckCollector::SetCheckCollector(const std::vector<std::wstring>& output_names,
                                     const std::vector<std::wstring>& part_paths, FileExists exists)
    : part_paths_(part_paths), exists_(std::move(exists)), whole_values_(DIGEST_KINDS.size()) {
    for (const std::wstring& name : output_names) output_names_.emplace_back(last_name_component(name));
    if (!part_paths.empty()) parts_folder_ = folder_of(part_paths.front());
    for (std::uint32_t i = 0; i < part_paths.size(); ++i)
        parts_by_key_[std::wstring(last_name_component(part_paths[i]))].push_back(i);
    checks_.whole_file.resize(DIGEST_KINDS.size());
    for (std::size_t i = 0; i < DIGEST_KINDS.size(); ++i) checks_.whole_file[i].kind = DIGEST_KINDS[i];
}

void SetCheckCollector::add(const ChecksumFile& file) {
    checks_.found.push_back(file.name);
    // By listed_name_hash of the name: the parts of a set each in a place of their own.
    std::array<NamedBy, 256> named_by;
    for (const ChecksumEntry& entry : file.entries) {
        // Most entries name a file beside their checksum file, by its name alone.
        if (entry.folder.empty() && !file.above_parts) {
            const std::wstring_view name = entry.name;
            NamedBy& named = named_by[listed_name_hash(name) % named_by.size()];
            if (named.name != name) {
                named.name = name;
                named.output = names_output(name);
                named.parts.clear();
                for_parts_named(name, [&](std::uint32_t part) { named.parts.push_back(part); });
            }
            if (named.output) list_whole_file(entry, file.name);
            for (const std::uint32_t part : named.parts) list_part(listing_of(file, entry), part, entry, file);
            continue;
        }
        const std::wstring path = listed_path(file, entry);
        if (names_output(entry.name) && (!file.above_parts || same_name(folder_of(path), parts_folder_)))
            list_whole_file(entry, file.name);
        if (const std::optional<std::uint32_t> part = part_at(path, entry.name)) {
            list_part(listing_of(file, entry), *part, entry, file);
        } else if (!file.above_parts && named_by_name_alone(path, entry.name)) {
            for_parts_named(entry.name, [&](std::uint32_t named) { list_part(listing_of(file, entry), named, entry, file); });
        }
    }
}

SetChecks SetCheckCollector::finish() && {
    std::erase_if(checks_.whole_file, [](const WholeFileCheck& check) { return check.values.empty(); });
    return std::move(checks_);
}

// Where the entry puts the file it names: in its folders relative to the checksum file, or
// whole.
std::wstring SetCheckCollector::listed_path(const ChecksumFile& file, const ChecksumEntry& entry) {
    const std::wstring folder =
        is_whole_path(entry.folder) ? std::wstring(entry.folder) : joined_path(file.folder, entry.folder);
    return joined_path(folder, entry.name);
}

// The part of the list at that path, if any.
std::optional<std::uint32_t> SetCheckCollector::part_at(const std::wstring& path, std::wstring_view name) const {
    std::optional<std::uint32_t> found;
    for_parts_named(name, [&](std::uint32_t part) {
        if (!found && same_name(joined_path(part_paths_[part], {}), path)) found = part;
    });
    return found;
}

// An entry with folders names a file of its name elsewhere only where the file it names
// does not exist, as when the parts were taken out of their folders.
bool SetCheckCollector::named_by_name_alone(const std::wstring& path, std::wstring_view name) {
    bool named = false;
    for_parts_named(name, [&](std::uint32_t) { named = true; });
    if (!named) return false;
    const auto [known, added] = existing_.try_emplace(path, false);
    if (added) known->second = exists_ && exists_(path);
    return !known->second;
}

bool SetCheckCollector::names_output(std::wstring_view name) const {
    return std::any_of(output_names_.begin(), output_names_.end(),
                       [name](const std::wstring& output) { return same_name(output, name); });
}

// A listing for each checksum file and each folder its entries name; one for all sidecars.
// The entries of a file mostly share one folder, so the last one's listing is kept at hand.
Listing& SetCheckCollector::listing_of(const ChecksumFile& file, const ChecksumEntry& entry) {
    if (&file != last_file_ || entry.folder != last_folder_) {
        std::wstring key = file.sidecar ? std::wstring(L"|sidecars") : file.folder + L'|' + file.name + L'|';
        if (!file.sidecar)
            for (const wchar_t c : std::wstring_view(entry.folder))
                key += c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
        const auto [index, added] = listing_index_.try_emplace(std::move(key), checks_.listings.size());
        if (added) checks_.listings.push_back({file.name, checks_.found.size() - 1, {}});
        last_file_ = &file;
        last_folder_ = entry.folder;
        last_listing_ = index->second;
    }
    return checks_.listings[last_listing_];
}

void SetCheckCollector::list_part(Listing& listing, std::uint32_t part, const ChecksumEntry& entry,
                                  const ChecksumFile& file) {
    ListedPart& listed = listing.parts[part];
    if (file.sidecar) listed.file = file.name;
    const auto same_kind = std::find_if(listed.values.begin(), listed.values.end(),
                                        [&](const ListedValue& value) { return value.kind == entry.kind; });
    if (same_kind == listed.values.end())
        listed.values.push_back({entry.kind, entry.hex});
    else if (same_kind->hex != entry.hex)
        same_kind->conflicting = true;
}

void SetCheckCollector::list_whole_file(const ChecksumEntry& entry, const std::wstring& file) {
    const auto kind = static_cast<std::size_t>(entry.kind);
    if (whole_values_[kind].insert(entry.hex).second) checks_.whole_file[kind].values.emplace_back(entry.hex, file);
}

PartMatch match_part(const Listing& listing, std::uint32_t part, const PartDigest& digest) {
    const ListedPart* listed = listing.part(part);
    if (listed == nullptr) return PartMatch::unlisted;
    bool proven = true;
    for (const ListedValue& value : listed->values) {
        const std::string computed = value.conflicting ? std::string() : digest(part, value.kind);
        if (computed.empty())
            proven = false;
        else if (computed != value.hex)
            return PartMatch::differs;
    }
    return proven ? PartMatch::matches : PartMatch::unproven;
}

bool part_refuted(const SetChecks& checks, std::uint32_t part, const PartDigest& digest) {
    bool refuted = false;
    for (const Listing& listing : checks.listings) {
        const PartMatch match = match_part(listing, part, digest);
        if (match == PartMatch::matches || match == PartMatch::unproven) return false;
        refuted = refuted || match == PartMatch::differs;
    }
    return refuted;
}

std::optional<std::uint32_t> SetVerdict::first_damaged() const {
    const auto damaged = std::find(parts.begin(), parts.end(), PartMatch::differs);
    if (damaged == parts.end()) return std::nullopt;
    return static_cast<std::uint32_t>(damaged - parts.begin());
}

std::uint32_t SetVerdict::count(PartMatch match) const {
    return static_cast<std::uint32_t>(std::count(parts.begin(), parts.end(), match));
}

std::wstring SetVerdict::file_of(std::uint32_t part) const {
    if (chosen != nullptr && chosen->part(part) != nullptr) return chosen->file_of(part);
    for (const Listing& listing : checks->listings)
        if (listing.part(part) != nullptr) return listing.file_of(part);
    return {};
}

namespace {

// The listing the most parts match; among equals the first found.
const Listing* chosen_listing(const SetChecks& checks, std::uint32_t count, const PartDigest& digest) {
    const Listing* chosen = nullptr;
    std::uint32_t most = 0;
    for (const Listing& listing : checks.listings) {
        std::uint32_t matching = 0;
        for (std::uint32_t part = 0; part < count; ++part)
            matching += match_part(listing, part, digest) == PartMatch::matches ? 1 : 0;
        if (chosen == nullptr || matching > most) {
            chosen = &listing;
            most = matching;
        }
    }
    return chosen;
}

std::size_t found_at(const SetChecks& checks, const std::wstring& name) {
    return static_cast<std::size_t>(std::find(checks.found.begin(), checks.found.end(), name) - checks.found.begin());
}

}  // namespace

void judge_whole_file(SetVerdict& verdict, const SetChecks& checks, const WholeFileDigest& digest) {
    for (const WholeFileCheck& check : checks.whole_file) {
        const std::string computed = digest(check.kind);
        const auto match = std::find_if(check.values.begin(), check.values.end(),
                                        [&](const auto& value) { return value.first == computed; });
        if (match == check.values.end()) {
            verdict.whole_file_failed = &check;
            verdict.whole_file_matched_by.clear();
            return;
        }
        if (verdict.whole_file_matched_by.empty()) verdict.whole_file_matched_by = match->second;
    }
}

SetVerdict judge_set(const SetChecks& checks, const PartDigest& part_digest, const WholeFileDigest& whole_digest,
                     const SetFacts& facts) {
    SetVerdict verdict;
    verdict.checks = &checks;
    const auto count = static_cast<std::uint32_t>(facts.ordinals.size());
    verdict.chosen = chosen_listing(checks, count, part_digest);
    for (std::uint32_t part = 0; part < count; ++part) {
        PartMatch match = verdict.chosen != nullptr ? match_part(*verdict.chosen, part, part_digest) : PartMatch::unlisted;
        if (match != PartMatch::matches && part_refuted(checks, part, part_digest)) match = PartMatch::differs;
        verdict.parts.push_back(match);
    }
    judge_whole_file(verdict, checks, whole_digest);
    if (verdict.first_damaged() || verdict.whole_file_failed != nullptr) return verdict;

    const bool whole_file_verified = !verdict.whole_file_matched_by.empty();
    const bool every_part_vouched =
        verdict.chosen != nullptr && count > 0 && verdict.count(PartMatch::matches) == count &&
        std::all_of(facts.of_set.begin(), facts.of_set.end(), [](bool of_set) { return of_set; });
    const bool parts_in_order = every_part_vouched && consecutive(facts.ordinals);
    // Where both verify, the file found first is named.
    const bool parts_first =
        parts_in_order && (!whole_file_verified || verdict.chosen->found < found_at(checks, verdict.whole_file_matched_by));
    if ((whole_file_verified || parts_in_order) && facts.distinct())
        verdict.verified_by = parts_first ? verdict.chosen->name : verdict.whole_file_matched_by;
    verdict.out_of_order = !whole_file_verified && every_part_vouched && !rising(facts.ordinals);
    return verdict;
}

bool is_part_of_set(std::wstring_view name, std::wstring_view first_part_path) {
    const std::wstring_view first = last_name_component(first_part_path);
    const std::size_t digits = trailing_digits(first);
    if (digits == 0 || name.size() != first.size() || trailing_digits(name) < digits) return false;
    const std::size_t stem = first.size() - digits;
    return same_name(name.substr(0, stem), first.substr(0, stem));
}

std::vector<UnlistedPart> parts_not_in_list(const std::vector<ChecksumFile>& files,
                                            const std::vector<std::wstring>& part_paths) {
    std::vector<UnlistedPart> unlisted;
    if (part_paths.empty()) return unlisted;
    std::unordered_map<std::wstring_view, std::vector<std::wstring_view>, NameKeyHash, NameKeyEqual> listed;
    for (const std::wstring& path : part_paths) {
        const std::wstring_view name = last_name_component(path);
        listed[name].push_back(name);
    }
    const auto in_list = [&](std::wstring_view name) {
        const auto found = listed.find(name);
        return found != listed.end() && std::any_of(found->second.begin(), found->second.end(),
                                                    [name](std::wstring_view part) { return same_name(part, name); });
    };
    const auto known = [&unlisted](std::wstring_view name) {
        return std::any_of(unlisted.begin(), unlisted.end(),
                           [name](const UnlistedPart& part) { return same_name(part.name, name); });
    };
    for (const ChecksumFile& file : files)
        for (const ChecksumEntry& entry : file.entries)
            if (is_part_of_set(entry.name, part_paths.front()) && !in_list(entry.name) && !known(entry.name))
                unlisted.push_back({std::wstring(entry.name), file.name});
    return unlisted;
}

}  // namespace mendlet
