#pragma once
// The names of the checksum files that may go with a joined file, and which files of its
// folder are read, in what order.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "digest/digest_kind.h"

namespace mendlet {

// At most this many checksum files are read for one join.
inline constexpr std::size_t CHECKSUM_FILES_READ = 64;

// The names of the checksum files named after an output (only its last component counts):
// its name and its name without its last extension, if it has one (a first character is no
// extension's dot), each with .sfv, .md5, .sha1, .sha256, .sha512, .b2, .b3, .blake2b and
// .blake3, then the hashes' with "sum" added (.sha256sum, .b2sum, .b3sum), then all of these
// with .txt added. The output's own name, should it be one of them (x.md5 gives x.md5 again),
// is left out: the output is no checksum file.
std::vector<std::wstring> checksum_file_names(std::wstring_view output_name);

// A checksum file to read: its name in the folder, and the name of the file it is named
// after (whose digest a bare digest in it is); none for one found by a general name.
struct ChecksumFileToRead {
    std::wstring name;
    std::wstring subject;
    // Named after a part (x.001.md5) rather than after the joined file.
    bool sidecar = false;

    bool operator==(const ChecksumFileToRead&) const = default;
};

// The files of a folder's listing that are read, each once, in this order (names compared
// without regard to case): those named after each output name in turn; MD5SUMS, SHA1SUMS,
// SHA256SUMS, SHA512SUMS, B2SUMS, B3SUMS, then each of them with .txt, checksums.txt and
// CHECKSUMS; the sidecars of the parts, each a part's name with an extension of
// checksum_file_names; then every other SFV file, in listing order, since SFV files exist to
// list parts. At most CHECKSUM_FILES_READ files besides the sidecars, which are at most a
// few for each part.
std::vector<ChecksumFileToRead> checksum_files_to_read(const std::vector<std::wstring>& folder_names,
                                                       const std::vector<std::wstring>& output_names,
                                                       const std::vector<std::wstring>& part_names = {});

// Whether a name (its last component) is one that a checksum file may have: one ending in
// an extension of checksum_file_names, or a general name, in any case.
bool is_checksum_file_name(std::wstring_view name);

// The name a checksum file is named after: its own without the extension that makes it a
// checksum file (and the .txt after it); none for a name that is no such file's.
std::optional<std::wstring_view> checksum_file_subject(std::wstring_view name);

// The kind of digest that a checksum file's name says its lines are: CRC-32 for an SFV file,
// MD5 for .md5, .md5sum and MD5SUMS (each also with .txt), SHA-1, SHA-256 and SHA-512 alike,
// BLAKE2b for .b2, .b2sum, .blake2b and B2SUMS, BLAKE3 for .b3, .b3sum, .blake3 and B3SUMS;
// none for checksums.txt, CHECKSUMS and names that are no checksum file's.
std::optional<DigestKind> declared_kind(std::wstring_view name);

// Whether it ends in .sfv or .sfv.txt, in any case.
bool is_sfv_file_name(std::wstring_view name);

}  // namespace mendlet
