#include "core/text_encoding.h"

namespace mendlet {

namespace {

inline constexpr char32_t REPLACEMENT = 0xFFFD;

bool is_high_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

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

}  // namespace mendlet
