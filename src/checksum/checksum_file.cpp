#include "checksum/checksum_file.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/path_compare.h"
#include "core/text_encoding.h"

namespace mendlet {

namespace {

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";
constexpr std::string_view BLANKS = " \t";

// What the checksum files are called: the output's name with one of these extensions, or
// one of the sums' fixed names. Kept in one place, so that the files the finder reads are
// the files that an added folder leaves out.
constexpr std::array<std::wstring_view, 3> CHECKSUM_EXTENSIONS{L".sfv", L".md5", L".sha256"};
constexpr std::array<std::wstring_view, 2> SUMS_FILE_NAMES{L"MD5SUMS", L"SHA256SUMS"};

// Without blanks (spaces and tabs) at either end.
template <typename Char>
std::basic_string_view<Char> trimmed(std::basic_string_view<Char> text) {
    constexpr Char blanks[] = {Char(' '), Char('\t'), Char()};
    const std::size_t start = text.find_first_not_of(blanks);
    if (start == std::basic_string_view<Char>::npos) return {};
    return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

bool is_hex_digit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_ascii_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

// Hands every line that has more than blanks to take_line, trimmed.
template <typename TakeLine>
void for_each_line(std::string_view bytes, TakeLine take_line) {
    if (bytes.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK) bytes.remove_prefix(BYTE_ORDER_MARK.size());
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n"), bytes.size());
        const std::string_view line = trimmed(bytes.substr(0, end));
        if (!line.empty()) take_line(line);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
}

std::optional<std::wstring> entry_name(std::string_view bytes) {
    const std::optional<std::wstring> decoded = decode_utf8(bytes);
    if (!decoded) return std::nullopt;
    const std::wstring_view name = trimmed(last_name_component(*decoded));
    if (name.empty() || std::any_of(name.begin(), name.end(), [](wchar_t c) { return c < L' '; })) return std::nullopt;
    return std::wstring(name);
}

// Adds the entry of a line to entries, if the name and the hex make one.
void add_entry(std::vector<ChecksumEntry>& entries, std::string_view name_bytes, DigestKind kind,
               std::string_view hex) {
    if (hex.size() != digest_hex_length(kind) || !std::all_of(hex.begin(), hex.end(), is_hex_digit)) return;
    std::optional<std::wstring> name = entry_name(name_bytes);
    if (!name) return;
    std::string lower_hex(hex);
    std::transform(lower_hex.begin(), lower_hex.end(), lower_hex.begin(), lower);
    entries.push_back({std::move(*name), kind, std::move(lower_hex)});
}

void add_sfv_line(std::vector<ChecksumEntry>& entries, std::string_view line) {
    if (line.front() == ';') return;
    const std::size_t blank = line.find_last_of(BLANKS);
    if (blank == std::string_view::npos) return;
    add_entry(entries, line.substr(0, blank), DigestKind::crc32, line.substr(blank + 1));
}

// "hex  name" or "hex *name".
void add_gnu_line(std::vector<ChecksumEntry>& entries, std::string_view line) {
    const std::size_t digits = line.find(' ');
    if (digits == std::string_view::npos || digits + 2 >= line.size() ||
        (line[digits + 1] != ' ' && line[digits + 1] != '*'))
        return;
    for (const DigestKind kind : {DigestKind::md5, DigestKind::sha256})
        if (digits == digest_hex_length(kind))
            add_entry(entries, line.substr(digits + 2), kind, line.substr(0, digits));
}

// "MD5 (name) = hex" or "SHA256 (name) = hex"; false when the line starts with no such tag.
bool add_bsd_line(std::vector<ChecksumEntry>& entries, std::string_view line) {
    const std::size_t open = line.find('(');
    if (open == std::string_view::npos) return false;
    const std::string_view tag = trimmed(line.substr(0, open));
    DigestKind kind;
    if (same_ascii_ignoring_case(tag, "MD5"))
        kind = DigestKind::md5;
    else if (same_ascii_ignoring_case(tag, "SHA256"))
        kind = DigestKind::sha256;
    else
        return false;
    // The hex holds no '=' nor ')', the name may.
    const std::size_t equals = line.rfind('=');
    if (equals == std::string_view::npos || equals < open) return true;
    const std::string_view bracketed = trimmed(line.substr(open + 1, equals - open - 1));
    if (bracketed.empty() || bracketed.back() != ')') return true;
    add_entry(entries, bracketed.substr(0, bracketed.size() - 1), kind, trimmed(line.substr(equals + 1)));
    return true;
}

bool ends_with_ignoring_case(std::wstring_view name, std::wstring_view end) {
    return name.size() >= end.size() && compare_names_ignoring_case(name.substr(name.size() - end.size()), end) == 0;
}

// The name without its last extension; none when it has none.
std::optional<std::wstring_view> name_without_extension(std::wstring_view name) {
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || dot == 0) return std::nullopt;
    return name.substr(0, dot);
}

}  // namespace

std::wstring_view last_name_component(std::wstring_view name) { return name.substr(name.find_last_of(L"/\\") + 1); }

std::size_t digest_hex_length(DigestKind kind) {
    switch (kind) {
        case DigestKind::crc32:
            return 8;
        case DigestKind::md5:
            return 32;
        case DigestKind::sha256:
            return 64;
    }
    return 0;
}

std::string_view whole_lines_within(std::string_view bytes, std::size_t limit) {
    if (bytes.size() <= limit) return bytes;
    const std::size_t line_end = bytes.substr(0, limit + 1).find_last_of("\r\n");
    return bytes.substr(0, line_end == std::string_view::npos ? 0 : line_end);
}

std::vector<ChecksumEntry> parse_sfv_file(std::string_view bytes) {
    std::vector<ChecksumEntry> entries;
    for_each_line(bytes, [&entries](std::string_view line) { add_sfv_line(entries, line); });
    return entries;
}

std::vector<ChecksumEntry> parse_sums_file(std::string_view bytes) {
    std::vector<ChecksumEntry> entries;
    for_each_line(bytes, [&entries](std::string_view line) {
        if (!add_bsd_line(entries, line)) add_gnu_line(entries, line);
    });
    return entries;
}

std::vector<ChecksumEntry> parse_checksum_file(std::wstring_view file_name, std::string_view bytes) {
    return ends_with_ignoring_case(file_name, L".sfv") ? parse_sfv_file(bytes) : parse_sums_file(bytes);
}

std::vector<std::wstring> checksum_file_names(std::wstring_view output_name) {
    output_name = last_name_component(output_name);
    std::vector<std::wstring> stems{std::wstring(output_name)};
    if (const auto stem = name_without_extension(output_name)) stems.emplace_back(*stem);
    std::vector<std::wstring> candidates;
    for (const std::wstring& stem : stems)
        for (const std::wstring_view extension : CHECKSUM_EXTENSIONS)
            candidates.push_back(stem + std::wstring(extension));
    candidates.insert(candidates.end(), SUMS_FILE_NAMES.begin(), SUMS_FILE_NAMES.end());

    std::erase_if(candidates, [output_name](const std::wstring& candidate) {
        return compare_names_ignoring_case(candidate, output_name) == 0;
    });
    return candidates;
}

bool is_checksum_file_name(std::wstring_view name) {
    name = last_name_component(name);
    return std::any_of(CHECKSUM_EXTENSIONS.begin(), CHECKSUM_EXTENSIONS.end(),
                       [name](std::wstring_view extension) { return ends_with_ignoring_case(name, extension); }) ||
           std::any_of(SUMS_FILE_NAMES.begin(), SUMS_FILE_NAMES.end(),
                       [name](std::wstring_view sums) { return compare_names_ignoring_case(name, sums) == 0; });
}

}  // namespace mendlet
