#pragma once
// What the checksum file targets share: the file split into lines by the target itself,
// names written back in UTF-8, digests in base64, and the properties that every parser of
// checksum files has:
//
// - every entry is whole: hex of its kind's length in lower-case digits; a name that is not
//   empty, starts and ends with no blank, and holds no '/', '\', control character (below
//   U+0020), surrogate nor code point beyond U+10FFFF;
// - of a file in UTF-8: a byte-order mark at the start changes nothing, nor does the same
//   text in UTF-16 of either byte order after its mark;
// - the file with its ASCII letters in upper case (unless it is UTF-16, whose units that
//   would change, or may hold a digest in base64, whose value that would change) gives as
//   many entries, of the same kinds and values, their names differing in case only;
// - a subject adds at most one entry, the last, named after it;
// - every entry written in each of the forms the target gives reads back as itself alone
//   (as a second line: a name may start with U+FEFF, the byte-order mark).

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "checksum/checksum_file.h"
#include "core/text_encoding.h"
#include "fuzz_support.h"

namespace mendlet::fuzz {

using Entries = std::vector<ChecksumEntry>;
using ChecksumParser = Entries (*)(std::string_view, std::wstring_view);

inline constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

inline bool holds_nul(std::string_view file) { return file.find('\0') != std::string_view::npos; }

// Split at every line end, empty lines included: at NUL in a file that holds one, else at
// every CR and LF.
inline std::vector<std::string_view> line_pieces(std::string_view file) {
    const std::string_view ends = holds_nul(file) ? std::string_view("\0", 1) : std::string_view("\r\n");
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (ends.find(file[i]) == std::string_view::npos) continue;
        pieces.push_back(file.substr(start, i - start));
        start = i + 1;
    }
    pieces.push_back(file.substr(start));
    return pieces;
}

// The wide characters of these builds are whole code points.
inline std::string utf8_of(std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (code >> 18));
            bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

inline std::string ascii_upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// The digest's bytes in base64 (RFC 4648), with its '=' padding.
inline std::string base64_of_hex(std::string_view hex) {
    constexpr char DIGITS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    std::uint32_t bits = 0;
    int bit_count = 0;
    for (std::size_t at = 0; at + 1 < hex.size(); at += 2) {
        bits = (bits << 8) | static_cast<std::uint32_t>(std::stoul(std::string(hex.substr(at, 2)), nullptr, 16));
        for (bit_count += 8; bit_count >= 6; bit_count -= 6) text += DIGITS[(bits >> (bit_count - 6)) & 0x3F];
    }
    if (bit_count > 0) text += DIGITS[(bits << (6 - bit_count)) & 0x3F];
    while (text.size() % 4 != 0) text += '=';
    return text;
}

// Whether the file may hold a digest in base64: an '=' right after a character of base64.
inline bool may_hold_base64(std::string_view file) {
    for (std::size_t at = 1; at < file.size(); ++at) {
        const char c = file[at - 1];
        if (file[at] == '=' &&
            ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/'))
            return true;
    }
    return false;
}

inline std::string ascii_lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

inline void check_entry_whole(const ChecksumEntry& entry) {
    FUZZ_CHECK(entry.hex.size() == digest_hex_length(entry.kind));
    FUZZ_CHECK(std::all_of(entry.hex.begin(), entry.hex.end(),
                           [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }));
    const std::wstring_view name = entry.name;
    FUZZ_CHECK(!name.empty() && name.front() != L' ' && name.front() != L'\t' && name.back() != L' ' &&
               name.back() != L'\t');
    FUZZ_CHECK(std::none_of(name.begin(), name.end(), [](wchar_t c) {
        const auto code = static_cast<std::uint32_t>(c);
        return c == L'/' || c == L'\\' || code < 0x20 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF;
    }));
    const std::wstring_view folder = entry.folder;
    FUZZ_CHECK(folder.find(L'/') == std::wstring::npos && !folder.starts_with(L".\\") && !folder.ends_with(L'\\'));
}

// A line written from an entry lists the same file, in whatever folder the form puts it.
inline bool lists_as(const Entries& read, const ChecksumEntry& entry) {
    return read.size() == 1 && read[0].name == entry.name && read[0].kind == entry.kind && read[0].hex == entry.hex;
}

// The file's text as UTF-16 of either byte order, after the mark.
inline std::string utf16_of(std::wstring_view text, bool little_endian) {
    std::string bytes = little_endian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t unit : to_utf16(text)) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += little_endian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

inline bool is_utf16(std::string_view file) {
    return file.substr(0, 2) == "\xFF\xFE" || file.substr(0, 2) == "\xFE\xFF";
}

inline void check_encodings(ChecksumParser parse, std::string_view body, const Entries& entries) {
    const std::optional<std::wstring> text = decode_utf8(body);
    if (!text || is_utf16(body)) return;
    FUZZ_CHECK(parse(std::string(BYTE_ORDER_MARK) + std::string(body), {}) == entries);
    for (const bool little_endian : {true, false}) FUZZ_CHECK(parse(utf16_of(*text, little_endian), {}) == entries);
}

inline void check_subject(ChecksumParser parse, std::string_view file, const Entries& entries) {
    const Entries with_subject = parse(file, L"subject.avi");
    FUZZ_CHECK(with_subject.size() == entries.size() || with_subject.size() == entries.size() + 1);
    FUZZ_CHECK(std::equal(entries.begin(), entries.end(), with_subject.begin()));
    if (with_subject.size() > entries.size()) FUZZ_CHECK(with_subject.back().name == L"subject.avi");
}

inline void check_upper_case(ChecksumParser parse, std::string_view file, const Entries& entries) {
    if (is_utf16(file) || may_hold_base64(file)) return;
    const Entries upper = parse(ascii_upper(file), {});
    FUZZ_CHECK(upper.size() == entries.size());
    for (std::size_t i = 0; i < upper.size(); ++i) {
        FUZZ_CHECK(upper[i].kind == entries[i].kind && upper[i].hex == entries[i].hex);
        FUZZ_CHECK(same_ignoring_case(upper[i].name, entries[i].name));
    }
}

// written_forms(entry) gives the lines that should read back as the entry.
template <typename WrittenForms>
Entries check_checksum_parser(ChecksumParser parse, std::string_view file, WrittenForms written_forms) {
    const Entries entries = parse(file, {});
    for (const ChecksumEntry& entry : entries) {
        check_entry_whole(entry);
        for (const std::string& line : written_forms(entry)) FUZZ_CHECK(lists_as(parse("\n" + line, {}), entry));
    }
    const std::string_view body =
        file.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK ? file.substr(BYTE_ORDER_MARK.size()) : file;
    check_encodings(parse, body, entries);
    check_upper_case(parse, file, entries);
    check_subject(parse, file, entries);
    return entries;
}

}  // namespace mendlet::fuzz
