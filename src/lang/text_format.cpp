#include "lang/text_format.h"

#include <string>

namespace mendlet {

namespace {

bool is_placeholder(wchar_t c) { return c == L's' || c == L'd' || c == L'u'; }

void append_number(std::wstring& out, std::uint64_t magnitude, bool negative) {
    wchar_t digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) out += L'-';
    while (n > 0) out += digits[--n];
}

void append_signed(std::wstring& out, std::int32_t value) {
    const std::int64_t wide = value;
    append_number(out, static_cast<std::uint64_t>(wide < 0 ? -wide : wide), wide < 0);
}

void append_arg(std::wstring& out, wchar_t kind, const FormatArg& arg) {
    if (const auto* text = std::get_if<std::wstring_view>(&arg)) {
        out += *text;
    } else if (const auto* signed_value = std::get_if<std::int32_t>(&arg)) {
        if (kind == L'u')
            append_number(out, static_cast<std::uint32_t>(*signed_value), false);
        else
            append_signed(out, *signed_value);
    } else {
        const std::uint32_t value = std::get<std::uint32_t>(arg);
        if (kind == L'd')
            append_signed(out, static_cast<std::int32_t>(value));
        else
            append_number(out, value, false);
    }
}

}  // namespace

std::wstring format_text(std::wstring_view format, std::initializer_list<FormatArg> args) {
    std::wstring out;
    out.reserve(format.size() + 64);
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const wchar_t c = format[i];
        if (c != L'%' || i + 1 == format.size()) {
            out += c;
            continue;
        }
        const wchar_t kind = format[i + 1];
        if (kind == L'%') {
            out += L'%';
            ++i;
        } else if (is_placeholder(kind)) {
            if (next != args.end()) append_arg(out, kind, *next++);
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring placeholder_kinds(std::wstring_view text) {
    std::wstring kinds;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'%') continue;
        if (text[i + 1] == L'%' || is_placeholder(text[i + 1])) {
            if (text[i + 1] != L'%') kinds += text[i + 1];
            ++i;
        }
    }
    return kinds;
}

std::wstring joined_texts(std::wstring first, std::wstring_view second) {
    if (first.empty()) return std::wstring(second);
    if (!second.empty()) first.append(L" ").append(second);
    return first;
}

}  // namespace mendlet
