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
std::wstring utf8_lines(std::string_view bytes, std::string_view ends) {
    std::wstring text;
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find_first_of(ends), bytes.size());
        if (const std::optional<std::wstring> line = decode_utf8(bytes.substr(0, end))) text += *line;
        if (end < bytes.size()) text += static_cast<wchar_t>(bytes[end]);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    return text;
}

// Pieces of the lines of about this many units of a file.
constexpr std::size_t PIECE_UNITS = 0x8000;

// The length of the next piece of the units: the lines that end at `end` within PIECE_UNITS
// of them, or where none does, up to the first that ends beyond; all of them where no line
// ends.
template <typename Unit>
std::size_t piece_length(std::basic_string_view<Unit> units, Unit end) {
    if (units.size() <= PIECE_UNITS) return units.size();
    std::size_t at = units.substr(0, PIECE_UNITS).rfind(end);
    if (at == units.npos) at = units.find(end, PIECE_UNITS);
    return at == units.npos ? units.size() : at + 1;
}

// Hands the units to take_piece in pieces cut after LF (after NUL where NUL ends lines), so
// that no line, nor CR LF, is cut, each piece decoded by decode.
template <typename Unit, typename Decode>
void in_pieces(std::basic_string_view<Unit> units, Decode decode, const TakeTextPiece& take_piece) {
    const bool at_nul = line_ends_of(units).size() == 1;
    do {
        const std::size_t length = piece_length(units, at_nul ? Unit('\0') : Unit('\n'));
        take_piece(decode(units.substr(0, length)), line_ends<wchar_t>(at_nul), length == units.size());
        units.remove_prefix(length);
    } while (!units.empty());
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

void for_each_text_piece(std::string_view bytes, const TakeTextPiece& take_piece) {
    if (const std::optional<bool> little_endian = utf16_little_endian(bytes)) {
        const std::u16string units = units_of(bytes.substr(UTF16_LE_MARK.size()), little_endian);
        return in_pieces(std::u16string_view(units), from_utf16, take_piece);
    }
    if (starts_with(bytes, UTF8_MARK)) {
        bytes.remove_prefix(UTF8_MARK.size());
        const std::string_view ends = line_ends_of(bytes);
        const auto utf8_or_its_utf8_lines = [ends](std::string_view piece) {
            std::optional<std::wstring> text = decode_utf8(piece);
            return text ? std::move(*text) : utf8_lines(piece, ends);
        };
        return in_pieces(bytes, utf8_or_its_utf8_lines, take_piece);
    }
    // Every piece of a text that is UTF-8 throughout is UTF-8.
    const auto utf8 = [](std::string_view piece) { return *decode_utf8(piece); };
    if (is_utf8(bytes)) return in_pieces(bytes, utf8, take_piece);
    in_pieces(bytes, from_ansi_code_page, take_piece);
}

}  // namespace mendlet
