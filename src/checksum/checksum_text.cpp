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

char16_t unit_at(std::string_view bytes, std::size_t at, bool little_endian) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<char16_t>(little_endian ? first | (second << 8) : (first << 8) | second);
}

// A byte left over after the last whole unit is dropped.
std::wstring utf16_text(std::string_view bytes, bool little_endian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) units += unit_at(bytes, at, little_endian);
    return from_utf16(units);
}

// The UTF-8 lines, each ended by a line feed; the others are left out.
std::wstring utf8_lines(std::string_view bytes) {
    std::wstring text;
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n"), bytes.size());
        if (const std::optional<std::wstring> line = decode_utf8(bytes.substr(0, end))) text += *line;
        text += L'\n';
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    return text;
}

}  // namespace

std::string_view whole_lines_within(std::string_view bytes, std::size_t limit) {
    if (bytes.size() <= limit) return bytes;
    const std::string_view read = bytes.substr(0, limit + 1);
    if (const std::optional<bool> little_endian = utf16_little_endian(bytes)) {
        // Units start at even offsets after the mark; the last whole one ends within read.
        for (std::size_t at = read.size() < 4 ? 0 : (read.size() - 2) / 2 * 2; at >= 2; at -= 2) {
            const char16_t unit = unit_at(read, at, *little_endian);
            if (unit == u'\r' || unit == u'\n') return bytes.substr(0, at);
        }
        return bytes.substr(0, 0);
    }
    const std::size_t line_end = read.find_last_of("\r\n");
    return bytes.substr(0, line_end == std::string_view::npos ? 0 : line_end);
}

std::wstring checksum_file_text(std::string_view bytes) {
    if (const std::optional<bool> little_endian = utf16_little_endian(bytes))
        return utf16_text(bytes.substr(UTF16_LE_MARK.size()), *little_endian);
    const bool marked = starts_with(bytes, UTF8_MARK);
    if (marked) bytes.remove_prefix(UTF8_MARK.size());
    if (std::optional<std::wstring> text = decode_utf8(bytes)) return std::move(*text);
    return marked ? utf8_lines(bytes) : from_ansi_code_page(bytes);
}

}  // namespace mendlet
