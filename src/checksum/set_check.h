#pragma once
// What the checksum files beside a set say of it, and what the digests of a join or of a
// check of the parts make of that: which listing speaks for the parts, which parts are
// damaged, and whether the joined file may be called verified.
//
// - A listing is one checksum file; where its entries carry folders (CD1\x.001,
//   CD2\x.001), each folder's entries are a listing of their own. The sidecars of the parts
//   (x.001.md5, x.002.md5, ...) are one listing together.
// - An entry with folders names the file in that folder relative to its checksum file
//   where such a file exists, and otherwise any file of its name. A checksum file one
//   folder above the parts counts only for the parts it names in their folder.
// - The parts are judged against one listing for the whole set: the one that the most
//   parts match, the first found among equals. A part it lists and that does not match is
//   damaged, even if another listing has a value it matches; so is a part that matches no
//   listing of those that list it. A listing that names a file twice with different values
//   proves nothing of that file.
// - The joined file is checked against every value listed for it: any one that matches
//   verifies it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "checksum/checksum_file.h"
#include "core/path_compare.h"
#include "digest/digest_kind.h"

namespace mendlet {

// What one listing says of one part in one kind.
struct ListedValue {
    DigestKind kind = DigestKind::crc32;
    std::string hex;
    // Listed again with another value: it proves nothing.
    bool conflicting = false;
};

struct ListedPart {
    std::vector<ListedValue> values;
    // The checksum file that lists it, where that is not the listing's own (a sidecar).
    std::wstring file;
};

struct Listing {
    // The checksum file, as messages name it.
    std::wstring name;
    // Where that file came in the order found.
    std::size_t found = 0;
    // By part index.
    std::unordered_map<std::uint32_t, ListedPart> parts;

    const ListedPart* part(std::uint32_t index) const;
    const std::wstring& file_of(std::uint32_t index) const;
};

// Every value listed for the joined file in one kind, each once, with the file that listed
// it first.
struct WholeFileCheck {
    DigestKind kind = DigestKind::crc32;
    std::vector<std::pair<std::string, std::wstring>> values;
};

struct SetChecks {
    // In kind order.
    std::vector<WholeFileCheck> whole_file;
    // In the order their checksum files were found.
    std::vector<Listing> listings;
    // The checksum files in the order found, which decides between two that verify a join.
    std::vector<std::wstring> found;

    bool empty() const { return whole_file.empty() && listings.empty(); }
    DigestKinds whole_file_kinds() const;
    DigestKinds part_kinds(std::uint32_t part) const;
};

// Names that are equal without regard to case hash alike (name_lookup_key's rule), looked
// up without making a key.
struct NameKeyHash {
    using is_transparent = void;
    std::size_t operator()(std::wstring_view name) const;
};
struct NameKeyEqual {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const;
};

// Whether a file exists at a path; asked only of paths that a listing's folders give.
using FileExists = std::function<bool(const std::wstring& path)>;

// Gathers the checks of one set from its checksum files, one file at a time, in the order
// found; linear in their entries, however many name the same file.
class SetCheckCollector {
public:
    // output_names: the names the joined file goes by (the set's, and the output's when the
    // user named it otherwise); part_paths: the list's, in list order.
    SetCheckCollector(const std::vector<std::wstring>& output_names, const std::vector<std::wstring>& part_paths,
                      FileExists exists);
    void add(const ChecksumFile& file);
    SetChecks finish() &&;

private:
    static std::wstring listed_path(const ChecksumFile& file, const ChecksumEntry& entry);
    std::optional<std::uint32_t> part_at(const std::wstring& path, std::wstring_view name) const;
    bool named_by_name_alone(const std::wstring& path, std::wstring_view name);
    // Calls take(part) for each part of that name.
    template <typename Take>
    void for_parts_named(std::wstring_view name, Take take) const {
        const auto found = parts_by_key_.find(name);
        if (found == parts_by_key_.end()) return;
        for (const std::uint32_t part : found->second) {
            // Mostly written as the part is named, which spares the system's comparison.
            const std::wstring_view part_name = last_name_component(part_paths_[part]);
            if (part_name == name || compare_names_ignoring_case(part_name, name) == 0) take(part);
        }
    }
    bool names_output(std::wstring_view name) const;
    Listing& listing_of(const ChecksumFile& file, const ChecksumEntry& entry);
    void list_part(Listing& listing, std::uint32_t part, const ChecksumEntry& entry, const ChecksumFile& file);
    void list_whole_file(const ChecksumEntry& entry, const std::wstring& file);

    std::vector<std::wstring> output_names_;
    const std::vector<std::wstring>& part_paths_;
    FileExists exists_;
    std::wstring parts_folder_;
    std::unordered_map<std::wstring, std::vector<std::uint32_t>, NameKeyHash, NameKeyEqual> parts_by_key_;
    std::unordered_map<std::wstring, bool> existing_;
    SetChecks checks_;
    std::vector<std::unordered_set<std::string>> whole_values_;
    // Listings by checksum file and folder, and the one of the sidecars.
    std::unordered_map<std::wstring, std::size_t> listing_index_;
    const ChecksumFile* last_file_ = nullptr;
    std::wstring last_folder_;
    std::size_t last_listing_ = 0;
};

// What a listing makes of a part's digests.
enum class PartMatch { unlisted, matches, differs, unproven };

// The digests a job computed, in lower-case hex; empty where one was not computed.
using PartDigest = std::function<std::string(std::uint32_t part, DigestKind kind)>;
using WholeFileDigest = std::function<std::string(DigestKind kind)>;

PartMatch match_part(const Listing& listing, std::uint32_t part, const PartDigest& digest);

// A part that some listing lists and that matches none of those: damaged whichever listing
// is chosen. Known as soon as the part has been read, so a join need not go on.
bool part_refuted(const SetChecks& checks, std::uint32_t part, const PartDigest& digest);

// What the job knows of its list besides the digests.
struct SetFacts {
    // Each part's number, in list order.
    std::vector<std::uint32_t> ordinals;
    // Whether each part's name is of the first part's set (is_part_of_set).
    std::vector<bool> of_set;
    // Whether every entry is a file of its own; asked only when the answer counts.
    std::function<bool()> distinct;
};

struct SetVerdict {
    const SetChecks* checks = nullptr;
    // The listing the parts are judged by; none when no listing lists a part.
    const Listing* chosen = nullptr;
    // By part: what the chosen listing makes of it; `differs` too for a part refuted by
    // every listing that lists it.
    std::vector<PartMatch> parts;
    // The first check of the joined file that its digest fails.
    const WholeFileCheck* whole_file_failed = nullptr;
    // The file whose value of the joined file matched, when every such check passed.
    std::wstring whole_file_matched_by;
    // The chosen listing vouches for every part, but the list does not hold them in the
    // order of their numbers: the joined file is not what it describes.
    bool out_of_order = false;
    // The checksum file that verified the join; empty when it may not be called verified.
    std::wstring verified_by;

    std::optional<std::uint32_t> first_damaged() const;
    std::uint32_t count(PartMatch match) const;
    // The checksum file that speaks for a part: its sidecar, or the chosen listing's.
    std::wstring file_of(std::uint32_t part) const;
};

SetVerdict judge_set(const SetChecks& checks, const PartDigest& part_digest, const WholeFileDigest& whole_digest,
                     const SetFacts& facts);

// The joined file against every value listed for it: sets whole_file_failed to the first
// check it fails, or whole_file_matched_by.
void judge_whole_file(SetVerdict& verdict, const SetChecks& checks, const WholeFileDigest& digest);

// Whether a listed name is one of the first part's set: the first part's file name without
// the digits it ends in, without regard to case, followed by as many digits.
bool is_part_of_set(std::wstring_view name, std::wstring_view first_part_path);

// A part of the first part's set that a checksum file lists and the list lacks.
struct UnlistedPart {
    std::wstring name;
    std::wstring checksum_file;
};

// Each such part once, in the files' order, with the first file that lists it; a join
// without them would be incomplete.
std::vector<UnlistedPart> parts_not_in_list(const std::vector<ChecksumFile>& files,
                                            const std::vector<std::wstring>& part_paths);

}  // namespace mendlet
