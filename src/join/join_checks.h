#pragma once
// What one job checks against the checksum files found beside its parts: each value with
// the file that lists it, so that a mismatch can name that file.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "join/checksum_file.h"
#include "join/checksum_match.h"
#include "join/part_digests.h"

namespace mendlet {

struct DigestCheck {
    ExpectedDigest expected;
    // The checksum file's name.
    std::wstring file;
};

struct JoinChecks {
    std::vector<DigestCheck> whole_file;
    // In list order, one for every part.
    std::vector<std::vector<DigestCheck>> parts;
    // The first file that checks anything, named by a join that passed every check.
    std::wstring first_file;

    bool empty() const { return first_file.empty(); }
    DigestKinds whole_file_kinds() const;
    std::vector<DigestKinds> part_kinds() const;
};

// The checks of the files' entries that name the output (by its name alone) or a part (by
// the last component of its path). Files that list the same file differently each check it.
JoinChecks collect_checks(const std::vector<ChecksumFile>& files, std::wstring_view output_name,
                          const std::vector<std::wstring>& part_paths);

// The first check the digests fail; none when every one passes. digest(kind) is what the
// job computed.
const DigestCheck* first_failed(const std::vector<DigestCheck>& checks,
                                const std::function<std::string(DigestKind)>& digest);

// "CRC32", "MD5" or "SHA-256", as the messages name a digest.
const wchar_t* digest_name(DigestKind kind);

}  // namespace mendlet
