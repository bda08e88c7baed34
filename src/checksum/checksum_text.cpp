#include "checksum/checksum_text.h"

#include <algorithm>
#include <optional>

#include "core/text_encoding.h"

namespace mendlet {

namespace {

constexpr std::string_view UTF8_MARK = "\xEF\xBB\xBF";
constexpr std::string_view UTF16_LE_MARK = "\xFF\xFE";
constexpr std::string_view UTF16_BE_MARK = "\xFE\xFF";

bool starts_with(std::string_view bytes, std::string_view start) { return bytes.substr(0, start.size()) == start; }

// None when the bytes have no UTF-16 byte-order mark; true for little-endian.
std::optional<bool> utf16_little_endian(std::string_view bytes) {
    if (starts_with(bytes, UTF16_LE_MARK)) return true;
    if (starts_with(bytes, UTF16_BE_MARK)) return false;
    return std::nullopt;
}

// The units in which the file's lines end: UTF-16 units where it is UTF-16 (the bytes
// after the mark), else its bytes. A byte left over after the last whole unit is dropped.
std::u16string units_of(std::string_view bytes, std::optional<bool> little_endian) {
    std::u16string units;
    if (!little_endian) {
        for (const char byte : bytes) units += static_cast<unsigned char>(byte);
        return units;
    }
    units.reserve(bytes.size() / 2);
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        units += static_cast<char16_t>(*little_endian ? first | (second << 8) : (first << 8) | second);
    }
    return units;
}

// The UTF-8 lines, each with its own line end; the others are left out.
std::wstring utf8_lines(std::string_view bytes) {
    const std::string_view ends = line_ends_of(bytes);
    std::wstring text;
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find_first_of(ends), bytes.size());
        if (const std::optional<std::wstring> line = decode_utf8(bytes.substr(0, end))) text += *line;
        if (end < bytes.size()) text += static_cast<wchar_t>(bytes[end]);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    return text;
}

}  // namespace

std::string_view whole_lines_within(std::string_view bytes, std::size_t limit) {
    if (bytes.size() <= limit) return bytes;
    const std::string_view read = bytes.substr(0, limit + 1);
    const std::optional<bool> little_endian = utf16_little_endian(bytes);
    const std::size_t start = little_endian ? UTF16_LE_MARK.size() : 0;
    const std::size_t unit = little_endian ? 2 : 1;
    const std::u16string units = units_of(read.substr(std::min(start, read.size())), little_endian);
    const std::u16string_view ends = line_ends_of(std::u16string_view(units));
    std::size_t end = units.find_last_of(ends);
    // A NUL stays with its line, so that what is kept ends its lines at NUL too; one just
    // beyond the limit cannot.
    if (end != std::u16string::npos && units[end] == u'\0' && start + (end + 1) * unit > limit)
        end = std::u16string_view(units).substr(0, end).find_last_of(ends);
    if (end == std::u16string::npos) return bytes.substr(0, 0);
    const std::size_t kept = units[end] == u'\0' ? end + 1 : end;
    return bytes.substr(0, start + kept * unit);
}

std::wstring checksum_file_text(std::string_view bytes) {
    if (const std::optional<bool> little_endian = utf16_little_endian(bytes))
        return from_utf16(units_of(bytes.substr(UTF16_LE_MARK.size()), little_endian));
    const bool marked = starts_with(bytes, UTF8_MARK);
    if (marked) bytes.remove_prefix(UTF8_MARK.size());
    if (std::optional<std::wstring> text = decode_utf8(bytes)) return std::move(*text);
    return marked ? utf8_lines(bytes) : from_ansi_code_page(bytes);
}

}  // namespace mendlet
