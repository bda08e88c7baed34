#pragma once
// Checksum files that travel with split files: an SFV file with the CRC-32 of each part,
// and the listings that md5sum and sha256sum write, for the whole file or for its parts.
//
// How a file is read:
// - The bytes are UTF-8; a byte-order mark at the start is skipped. Lines end at any CR or
//   LF, and blanks (spaces and tabs) at either end of a line are no part of it.
// - SFV files (named *.sfv) hold lines "name CRC": the CRC is the last field, 8 hex
//   digits, and the name is everything before it, spaces included. Lines starting with ';'
//   are comments.
// - Every other checksum file holds md5sum's and sha256sum's lines, in either form:
//   GNU "hex  name" or "hex *name", whose kind follows from the hex's length (32 digits
//   MD5, 64 SHA-256) whatever the file is called, since the length cannot mislead; or BSD
//   "MD5 (name) = hex" and "SHA256 (name) = hex", which say their kind (in any case; blanks
//   around the brackets and the '=' may be missing). The name is everything between.
// - Hex digits may be of either case. A name keeps only its last component (after the last
//   '/' or '\'), without blanks at either end.
// - A line that fits none of these is skipped, and so is one whose name is no UTF-8
//   (decode_utf8: a guess at another encoding could name the wrong file), is empty or holds
//   a control character (below U+0020), which no Windows file name holds. coreutils' lines
//   for names with a backslash or a line break (starting with '\') are skipped too: no
//   Windows file name holds either.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mendlet {

enum class DigestKind { crc32, md5, sha256 };

// Hex digits of a digest: 8, 32 or 64.
std::size_t digest_hex_length(DigestKind kind);

// One line of a checksum file: what the file of that name should hash to.
struct ChecksumEntry {
    // The listed name's last component.
    std::wstring name;
    DigestKind kind = DigestKind::crc32;
    // Lower case, digest_hex_length(kind) digits.
    std::string hex;

    bool operator==(const ChecksumEntry&) const = default;
};

// A checksum file found beside the parts, with the entries it yielded.
struct ChecksumFile {
    std::wstring name;
    std::vector<ChecksumEntry> entries;
};

// What names are matched by: the part after the last '/' or '\'.
std::wstring_view last_name_component(std::wstring_view name);

// At most this much of a checksum file is read.
inline constexpr std::size_t CHECKSUM_FILE_LIMIT = 0x100000;

// What is parsed of the first bytes of a file, read up to limit + 1 so that a longer file
// shows: all of them when there are at most limit; otherwise those before the last line end
// among them, so that no line is read cut short (none when no line ends in time).
std::string_view whole_lines_within(std::string_view bytes, std::size_t limit);

// The entries of a file's lines, in file order.
std::vector<ChecksumEntry> parse_sfv_file(std::string_view bytes);
std::vector<ChecksumEntry> parse_sums_file(std::string_view bytes);
// As the file's name says: SFV for a name ending in ".sfv" (in any case), sums otherwise.
std::vector<ChecksumEntry> parse_checksum_file(std::wstring_view file_name, std::string_view bytes);

// The names of the checksum files that may go with an output (only its last component
// counts), in the order they are read: the output's name with .sfv, .md5 and .sha256; the
// same for its name without its last extension, if it has one (a first character is no
// extension's dot); MD5SUMS and SHA256SUMS. The output's own name, should it be one of
// them (x.md5 gives x.md5 again), is left out: the output is no list of checksums.
std::vector<std::wstring> checksum_file_names(std::wstring_view output_name);

// Whether a name (its last component) is one that checksum_file_names gives for some output:
// one ending in .sfv, .md5 or .sha256, or MD5SUMS or SHA256SUMS, in any case.
bool is_checksum_file_name(std::wstring_view name);

}  // namespace mendlet
