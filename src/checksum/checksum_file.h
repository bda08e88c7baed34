#pragma once
// Checksum files that travel with split files, read line by line from their text
// (checksum_text.h): SFV files with the CRC-32 of each part, and the listings of the tools
// people hash with, for the whole file or for its parts.
//
// - Lines end at any CR or LF; blanks (spaces and tabs) at either end are no part of a line.
// - SFV files (named *.sfv or *.sfv.txt) hold lines "name CRC": the CRC is the last field,
//   8 hex digits, and the name is everything before it, spaces included. Lines starting
//   with ';' are comments.
// - Every other checksum file may hold, mixed as they come:
//   - "hex  name", "hex *name" (md5sum, sha1sum, sha256sum, sha512sum, openssl -r) and
//     "hex name" (md5 -r, FCIV, whose lines starting with "//" are comments); the kind
//     follows from the hex's length (32 MD5, 40 SHA-1, 64 SHA-256, 128 SHA-512);
//   - "TAG (name) = hex" (BSD) and "TAG(name)= hex" (OpenSSL), TAG one of MD5, SHA1,
//     SHA256, SHA512, SHA2-256, SHA2-512 (also with a '-' after SHA, in any case);
//   - certutil's "TAG hash of [file ]name:" with the hex on the next line, its byte pairs
//     maybe apart;
//   - Get-FileHash's table rows "TAG  hex  path" and its list records of "Algorithm : TAG",
//     "Hash : hex" and "Path : path" lines, a record ended by a blank line, a value
//     continued on the lines that follow it when the console was too narrow for it.
//   Where a line says its kind, the hex must have that kind's length; an unknown kind
//   (SHA384, BLAKE2...) lists nothing. Lines starting with '#' are comments.
// - A file named after one file (x.zip.sha256 after x.zip) whose one line, comments aside,
//   is a bare digest (an SFV's: a CRC-32) gives that digest to that file, its subject.
// - Hex digits may be of either case. A name is its last component (after the last '/' or
//   '\'), without blanks at either end; the folders before it are kept apart, with '\'
//   between them and without leading ".\" ("CD1\x.001" lists x.001 in folder CD1).
// - A line that fits none of these is skipped, and so is an entry whose name is empty or
//   holds a control character (below U+0020), which no Windows file name holds. coreutils'
//   lines for names with a backslash or a line break (starting with '\') are skipped too:
//   no Windows file name holds either.

#include <string>
#include <string_view>
#include <vector>

#include "digest/digest_kind.h"

namespace mendlet {

// One line of a checksum file: what the file of that name should hash to.
struct ChecksumEntry {
    // The listed name's last component.
    std::wstring name;
    DigestKind kind = DigestKind::crc32;
    // Lower case, digest_hex_length(kind) digits.
    std::string hex;
    // The folders the listed name gives before it: relative to the checksum file (CD1,
    // dl\sub) or whole (C:\Downloads), with '\' between them; empty when it gives none.
    std::wstring folder;

    bool operator==(const ChecksumEntry&) const = default;
};

// A checksum file found beside the parts, with the entries it yielded: none when nothing
// could be read from it.
struct ChecksumFile {
    std::wstring name;
    std::vector<ChecksumEntry> entries;
};

// What names are matched by: the part after the last '/' or '\'.
std::wstring_view last_name_component(std::wstring_view name);

// The folders a listed name gives before its last component, as ChecksumEntry::folder
// holds them: '\' between them, without leading "." steps ("./CD1/x" gives CD1).
std::wstring listed_folder(std::wstring_view listed_name);

// The entries of a file's bytes, in file order. subject: the name of the file it is named
// after, which a bare digest is of; empty for a file named otherwise.
std::vector<ChecksumEntry> parse_sfv_file(std::string_view bytes, std::wstring_view subject = {});
std::vector<ChecksumEntry> parse_sums_file(std::string_view bytes, std::wstring_view subject = {});
// As the file's name says: SFV for a name ending in ".sfv" or ".sfv.txt" (in any case),
// sums otherwise.
std::vector<ChecksumEntry> parse_checksum_file(std::wstring_view file_name, std::string_view bytes,
                                               std::wstring_view subject = {});

}  // namespace mendlet
