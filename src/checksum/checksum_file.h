#pragma once
// Checksum files that travel with split files, read line by line from their text
// (checksum_text.h): SFV files with the CRC-32 of each part, and the listings of the tools
// people hash with, for the whole file or for its parts.
//
// - Lines end at any CR or LF; in a file that holds a NUL, at NUL only (sha256sum -z writes
//   names as they are, line breaks included). Blanks (spaces and tabs) at either end are no
//   part of a line.
// - SFV files (named *.sfv or *.sfv.txt) hold lines "name CRC": the CRC is the last field,
//   8 hex digits or their base64 (rhash --base64), and the name is everything before it,
//   spaces included. Lines starting with ';' are comments.
// - Every other checksum file may hold, mixed as they come:
//   - "digest  name", "digest *name" (md5sum, sha256sum, b2sum, b3sum, cksum --untagged,
//     rhash, openssl -r), either also with a tab after the digest, and "digest name" (md5 -r,
//     FCIV, whose lines starting with "//" are comments);
//   - "TAG (name) = digest" (BSD, --tag, cksum, rhash --bsd) and "TAG(name)= digest"
//     (OpenSSL), TAG one of CRC32, MD5, SHA1, SHA256, SHA512, SHA2-256, SHA2-512 (also with a
//     '-' after SHA), BLAKE2b, BLAKE2b-512, BLAKE3, in any case;
//   - coreutils' lines of these two forms for a name that holds a backslash or a line break:
//     '\' before the line, and "\\", "\n" and "\r" for those in the name ("\hex  dl\\x.001"
//     lists x.001 in dl); a line with another escape is skipped, as coreutils skips it;
//   - certutil's "TAG hash of [file ]name:" with the hex on the next line, its byte pairs
//     maybe apart;
//   - Get-FileHash's table rows "TAG  hex  path" and its list records: an "Algorithm : TAG"
//     line opens one, "Hash : hex" and "Path : path" lines follow, a value continued on the
//     indented lines after it when the console was too narrow for it; a blank line, or any
//     other line, ends the record.
//   A digest is hex of either case; in the first two forms also base64 (RFC 4648, with its
//   '=' padding: cksum --base64, rhash --base64), told from hex by length and alphabet. The
//   digest of a line that names no kind is of the kind that the file's name declares
//   (declared_kind: x.sha256, B2SUMS) and is read only with that kind's length; only where
//   the name declares none (CHECKSUMS, checksums.txt) does the length tell (32 hex digits
//   MD5, 40 SHA-1, 64 SHA-256, 128 SHA-512; never BLAKE2b or BLAKE3). Where a line names its
//   kind, that kind holds, with its length; a kind not listed above (SHA384, SHA3-256,
//   BLAKE2b-256...) lists nothing. Lines starting with '#' are comments.
// - A file named after one file (x.zip.sha256 after x.zip) whose one line, comments aside,
//   is a bare digest in hex (an SFV's: a CRC-32) gives that digest to that file, its subject.
// - A name is its last component (after the last '/' or '\'), without blanks at either end;
//   the folders before it are kept apart, with '\' between them and without leading ".\"
//   ("CD1\x.001" lists x.001 in folder CD1).
// - A line that fits none of these is skipped, and so is an entry whose name is empty or
//   holds a control character (below U+0020), which no Windows file name holds: a line
//   break from an escape or a NUL-ended line, say.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/shared_text.h"
#include "digest/digest_kind.h"

namespace mendlet {

// One line of a checksum file: what the file of that name should hash to. The entries of
// one file that list the same name or folder share its text.
struct ChecksumEntry {
    // The listed name's last component.
    SharedText name;
    DigestKind kind = DigestKind::crc32;
    // Lower case, digest_hex_length(kind) digits.
    std::string hex;
    // The folders the listed name gives before it: relative to the checksum file (CD1,
    // dl\sub) or whole (C:\Downloads), with '\' between them; empty when it gives none.
    SharedText folder{};

    bool operator==(const ChecksumEntry&) const = default;
};

// A checksum file found beside the parts, with the entries it yielded: none when nothing
// could be read from it.
struct ChecksumFile {
    std::wstring name;
    std::vector<ChecksumEntry> entries;
    // The folder it lies in, written as the parts' paths write theirs.
    std::wstring folder;
    // Found one folder above the parts: it speaks only of files it names in their folder.
    bool above_parts = false;
    // Named after one part (x.001.md5): a bare digest in it is that part's.
    bool sidecar = false;
};

// What names are matched by: the part after the last '/' or '\'.
std::wstring_view last_name_component(std::wstring_view name);

// A hash of a listed name's length and last characters, where the names of a set's parts
// differ: quick to make, and in a small table of the names of a file a place of their own
// for the parts of a set.
std::size_t listed_name_hash(std::wstring_view name);

// The folders a listed name gives before its last component, as ChecksumEntry::folder
// holds them: '\' between them, without leading "." steps ("./CD1/x" gives CD1).
std::wstring listed_folder(std::wstring_view listed_name);

// The entries of a file's bytes, in file order. subject: the name of the file it is named
// after, which a bare digest is of; empty for a file named otherwise. declared: the kind of
// the lines that name none, where the file's name declares one.
std::vector<ChecksumEntry> parse_sfv_file(std::string_view bytes, std::wstring_view subject = {});
std::vector<ChecksumEntry> parse_sums_file(std::string_view bytes, std::wstring_view subject = {},
                                           std::optional<DigestKind> declared = std::nullopt);
// As the file's name says: SFV for a name ending in ".sfv" or ".sfv.txt" (in any case),
// sums otherwise, with the kind the name declares (declared_kind).
std::vector<ChecksumEntry> parse_checksum_file(std::wstring_view file_name, std::string_view bytes,
                                               std::wstring_view subject = {});

}  // namespace mendlet
