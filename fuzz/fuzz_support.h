#pragma once
// What the fuzz targets share: a check that stops the fuzzer with a message (asserts are
// compiled out of optimised builds), wide strings made from the fuzzer's bytes, and a small
// INI reader that stands in for the system's one.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

namespace mendlet::fuzz {

using Bytes = std::span<const std::uint8_t>;

// Every two bytes (little-endian) are one UTF-16 unit, as Windows hands wide strings to the
// program: any unit can come out, NUL and lone surrogates included. An odd last byte is a
// unit of its own.
inline std::wstring wide_units(Bytes bytes) {
    std::wstring text;
    text.reserve(bytes.size() / 2 + 1);
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) text += static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
    if (i < bytes.size()) text += static_cast<wchar_t>(bytes[i]);
    return text;
}

// The text of an INI file as the system's reader takes it: UTF-16 after a byte-order mark,
// else one character per byte.
inline std::wstring ini_text(Bytes bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return wide_units(bytes.subspan(2));
    std::wstring text;
    text.reserve(bytes.size());
    for (std::uint8_t byte : bytes) text += static_cast<wchar_t>(byte);
    return text;
}

inline wchar_t ascii_lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

inline bool same_ignoring_case(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    return true;
}

inline std::wstring_view trim_blanks(std::wstring_view text) {
    const std::size_t start = text.find_first_not_of(L" \t");
    if (start == std::wstring_view::npos) return {};
    return text.substr(start, text.find_last_not_of(L" \t") - start + 1);
}

// "[section]" lines and "key=value" lines, ended by CR or LF; names and values trimmed of
// blanks, names compared without case (ASCII), the first of equal keys counts, and
// anything else is ignored. Values keep every other character, NUL included.
class IniText {
public:
    explicit IniText(std::wstring_view text) {
        std::wstring section;
        std::size_t at = 0;
        while (at <= text.size()) {
            std::size_t end = text.find_first_of(L"\r\n", at);
            if (end == std::wstring_view::npos) end = text.size();
            const std::wstring_view line = trim_blanks(text.substr(at, end - at));
            at = end + 1;
            if (!line.empty() && line.front() == L'[') {
                const std::size_t close = line.find(L']');
                section =
                    name_of(line.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1));
                continue;
            }
            const std::size_t equals = line.find(L'=');
            if (equals == std::wstring_view::npos) continue;
            values_.emplace(std::pair{section, name_of(line.substr(0, equals))},
                            std::wstring(trim_blanks(line.substr(equals + 1))));
        }
    }

    // Empty when missing, as the system's reader gives it.
    std::wstring value(std::wstring_view section, std::wstring_view key) const {
        const auto found = values_.find({name_of(section), name_of(key)});
        return found == values_.end() ? std::wstring() : found->second;
    }

private:
    static std::wstring name_of(std::wstring_view text) {
        std::wstring name(trim_blanks(text));
        for (wchar_t& c : name) c = ascii_lower(c);
        return name;
    }

    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values_;
};

// A small deterministic generator for choices the fuzzer makes through a seed.
class Choices {
public:
    explicit Choices(std::uint32_t seed) : state_((seed * 2654435761u + 0x9E3779B9u) | 1u) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // 1 to n.
    std::size_t up_to(std::size_t n) { return n <= 1 ? n : 1 + next() % n; }

private:
    std::uint32_t state_;
};

}  // namespace mendlet::fuzz
