#pragma once
// What one job checks against the checksum files found beside its parts: each value with
// the file that lists it, so that a mismatch can name that file; and what a join that
// passed every check may claim.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checksum/checksum_file.h"
#include "checksum/checksum_match.h"
#include "join/part_digests.h"

namespace mendlet {

struct DigestCheck {
    ExpectedDigest expected;
    // The name of the checksum file that first listed the file in this kind.
    std::wstring file;
};

struct JoinChecks {
    // At most one for each kind.
    std::vector<DigestCheck> whole_file;
    // In list order, one for every part.
    std::vector<std::vector<DigestCheck>> parts;
    // The first file that checks anything, named by a join that passed every check.
    std::wstring first_file;

    bool empty() const { return first_file.empty(); }
    DigestKinds whole_file_kinds() const;
    std::vector<DigestKinds> part_kinds() const;
};

// The checks of the files' entries that name the joined file (by one of its names alone) or
// a part (by the last component of its path). What several files list for one file in one
// kind makes one check, which passes on any of their values.
JoinChecks collect_checks(const std::vector<ChecksumFile>& files, const std::vector<std::wstring_view>& output_names,
                          const std::vector<std::wstring>& part_paths);

// The first check the digests fail; none when every one passes. digest(kind) is what the
// job computed.
const DigestCheck* first_failed(const std::vector<DigestCheck>& checks,
                                const std::function<std::string(DigestKind)>& digest);

// "CRC32", "MD5", "SHA-1", "SHA-256" or "SHA-512", as the messages name a digest.
const wchar_t* digest_name(DigestKind kind);

// Whether a listed name is one of the first part's set: the first part's file name without
// the digits it ends in, without regard to case, followed by as many digits.
bool is_part_of_set(std::wstring_view name, std::wstring_view first_part_path);

// A part of the first part's set that a checksum file lists and the list lacks.
struct UnlistedPart {
    std::wstring name;
    std::wstring checksum_file;
};

// The first one, in the files' order; a join without it would be incomplete.
std::optional<UnlistedPart> first_part_not_in_list(const std::vector<ChecksumFile>& files,
                                                   const std::vector<std::wstring>& part_paths);

// Whether a join whose every check passed may say it was verified: no file is in the list
// twice (distinct), and either the joined file's own digest was checked, or every part was
// checked and the parts stand in the order of their numbers, one after the other.
bool join_is_verified(const JoinChecks& checks, const std::vector<std::uint32_t>& ordinals, bool distinct);

}  // namespace mendlet
