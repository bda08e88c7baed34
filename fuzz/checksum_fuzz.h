#pragma once
// What the checksum file targets share: the file split into lines by the target itself,
// names written back in UTF-8, and the properties that every parser of checksum files has:
//
// - every entry is whole: hex of its kind's length in lower-case digits; a name that is not
//   empty, starts and ends with no blank, and holds no '/', '\', control character (below
//   U+0020), surrogate nor code point beyond U+10FFFF;
// - lines are read alone: the file's entries are those of its lines (split at every CR
//   and LF, after a byte-order mark at the start) one after another, each line's read as a
//   file of its own that starts with a line end; and each name, written in UTF-8 again,
//   stands in its line;
// - a byte-order mark at the start changes nothing;
// - the file with its ASCII letters in upper case gives as many entries, of the same kinds
//   and values, their names differing in case only;
// - every entry written in each of the forms the target gives reads back as itself alone
//   (as a second line: a name may start with U+FEFF, the byte-order mark).

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "checksum/checksum_file.h"

namespace mendlet::fuzz {

using Entries = std::vector<ChecksumEntry>;
using ChecksumParser = Entries (*)(std::string_view);

inline constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// Split at every CR and LF, empty lines included.
inline std::vector<std::string_view> line_pieces(std::string_view file) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] != '\r' && file[i] != '\n') continue;
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

inline void check_entry_whole(const ChecksumEntry& entry) {
    FUZZ_CHECK(entry.hex.size() == digest_hex_length(entry.kind));
    FUZZ_CHECK(std::all_of(entry.hex.begin(), entry.hex.end(),
                           [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }));
    const std::wstring& name = entry.name;
    FUZZ_CHECK(!name.empty() && name.front() != L' ' && name.front() != L'\t' && name.back() != L' ' &&
               name.back() != L'\t');
    FUZZ_CHECK(std::none_of(name.begin(), name.end(), [](wchar_t c) {
        const auto code = static_cast<std::uint32_t>(c);
        return c == L'/' || c == L'\\' || code < 0x20 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF;
    }));
}

inline void check_lines_read_alone(ChecksumParser parse, std::string_view body, const Entries& entries) {
    Entries from_lines;
    for (const std::string_view line : line_pieces(body)) {
        const Entries of_line = parse("\n" + std::string(line));
        for (const ChecksumEntry& entry : of_line) FUZZ_CHECK(line.find(utf8_of(entry.name)) != std::string_view::npos);
        from_lines.insert(from_lines.end(), of_line.begin(), of_line.end());
    }
    FUZZ_CHECK(from_lines == entries);
}

inline void check_upper_case(ChecksumParser parse, std::string_view file, const Entries& entries) {
    const Entries upper = parse(ascii_upper(file));
    FUZZ_CHECK(upper.size() == entries.size());
    for (std::size_t i = 0; i < upper.size(); ++i) {
        FUZZ_CHECK(upper[i].kind == entries[i].kind && upper[i].hex == entries[i].hex);
        FUZZ_CHECK(same_ignoring_case(upper[i].name, entries[i].name));
    }
}

// written_forms(entry) gives the lines that should read back as the entry.
template <typename WrittenForms>
Entries check_checksum_parser(ChecksumParser parse, std::string_view file, WrittenForms written_forms) {
    const Entries entries = parse(file);
    for (const ChecksumEntry& entry : entries) {
        check_entry_whole(entry);
        for (const std::string& line : written_forms(entry)) FUZZ_CHECK(parse("\n" + line) == Entries{entry});
    }
    const std::string_view body =
        file.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK ? file.substr(BYTE_ORDER_MARK.size()) : file;
    check_lines_read_alone(parse, body, entries);
    FUZZ_CHECK(parse(std::string(BYTE_ORDER_MARK) + std::string(body)) == entries);
    check_upper_case(parse, file, entries);
    return entries;
}

}  // namespace mendlet::fuzz
