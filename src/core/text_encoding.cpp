#include "core/text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace mendlet {

namespace {

inline constexpr char32_t REPLACEMENT = 0xFFFD;

bool is_high_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// One character of UTF-8: its code point and how many bytes it took, 0 when the bytes at
// that place are no UTF-8.
struct Utf8Character {
    char32_t code = 0;
    std::size_t length = 0;
};

Utf8Character decode_character(std::string_view bytes) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80) return {lead, 1};
    Utf8Character character;
    char32_t least = 0;
    if (lead >= 0xC0 && lead <= 0xDF) {
        character = {lead & 0x1Fu, 2};
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        character = {lead & 0x0Fu, 3};
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF7) {
        character = {lead & 0x07u, 4};
        least = 0x10000;
    } else {
        return {};
    }
    if (bytes.size() < character.length) return {};
    for (std::size_t i = 1; i < character.length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80) return {};
        character.code = (character.code << 6) | (next & 0x3Fu);
    }
    // Longer forms than needed would let two byte strings spell one name.
    if (character.code < least || character.code > 0x10FFFF || is_high_surrogate(character.code) ||
        is_low_surrogate(character.code))
        return {};
    return character;
}

// Writes the code point at `out` and returns the position after it.
wchar_t* put_code_point(wchar_t* out, char32_t code) {
    if (sizeof(wchar_t) == 2 && code >= 0x10000) {
        *out++ = static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
        *out++ = static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
        *out++ = static_cast<wchar_t>(code);
    }
    return out;
}

// How many of the first bytes are ASCII, looked at eight at a time: checksum files are
// ASCII nearly throughout, and a megabyte of them is decoded at once.
std::size_t ascii_length(std::string_view bytes) {
    constexpr std::uint64_t HIGH_BITS = 0x8080808080808080;
    std::size_t length = 0;
    for (std::uint64_t eight = 0; length + 8 <= bytes.size(); length += 8) {
        std::memcpy(&eight, bytes.data() + length, 8);
        if ((eight & HIGH_BITS) != 0) break;
    }
    while (length < bytes.size() && static_cast<unsigned char>(bytes[length]) < 0x80) ++length;
    return length;
}

// Reads UTF-8, handing each run of ASCII to take_ascii and each other character's code
// point to take_other; false at the first byte that is no UTF-8.
template <typename TakeAscii, typename TakeOther>
bool read_utf8(std::string_view bytes, TakeAscii take_ascii, TakeOther take_other) {
    while (!bytes.empty()) {
        const std::size_t ascii = ascii_length(bytes);
        take_ascii(bytes.substr(0, ascii));
        bytes.remove_prefix(ascii);
        if (bytes.empty()) break;
        const Utf8Character character = decode_character(bytes);
        if (character.length == 0) return false;
        take_other(character.code);
        bytes.remove_prefix(character.length);
    }
    return true;
}

}  // namespace

std::u16string to_utf16(std::wstring_view text) {
    std::u16string units;
    units.reserve(text.size());
    for (wchar_t c : text) {
        const auto code = static_cast<char32_t>(c);
        if (sizeof(wchar_t) == 2 || code < 0x10000) {
            units += static_cast<char16_t>(code);
        } else if (code <= 0x10FFFF) {
            units += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(REPLACEMENT);
        }
    }
    return units;
}

std::wstring from_utf16(std::u16string_view units) {
    std::wstring text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (sizeof(wchar_t) == 2) {
            text += static_cast<wchar_t>(unit);
        } else if (is_high_surrogate(unit) && i + 1 < units.size() && is_low_surrogate(units[i + 1])) {
            text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            text += static_cast<wchar_t>(is_high_surrogate(unit) || is_low_surrogate(unit) ? REPLACEMENT : unit);
        }
    }
    return text;
}

bool is_utf8(std::string_view bytes) {
    return read_utf8(bytes, [](std::string_view) {}, [](char32_t) {});
}

std::optional<std::wstring> decode_utf8(std::string_view bytes) {
    // No character takes fewer bytes than wide units, so the text is written in place.
    std::wstring text(bytes.size(), L'\0');
    wchar_t* out = text.data();
    const auto take_ascii = [&out](std::string_view ascii) { out = std::copy(ascii.begin(), ascii.end(), out); };
    const auto take_other = [&out](char32_t code) { out = put_code_point(out, code); };
    if (!read_utf8(bytes, take_ascii, take_other)) return std::nullopt;
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

}  // namespace mendlet
