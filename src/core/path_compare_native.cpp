#include "core/path_compare.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>

namespace mendlet {

namespace {

// Stand-in for the system's table of capitals: ASCII, Latin-1, and basic Greek and Cyrillic.
std::uint32_t capital(wchar_t c) {
    const auto code = static_cast<std::uint32_t>(c);
    if ((code >= U'a' && code <= U'z') || (code >= 0xE0 && code <= 0xFE && code != 0xF7) ||
        (code >= 0x3B1 && code <= 0x3CB && code != 0x3C2) || (code >= 0x430 && code <= 0x44F))
        return code - 0x20;
    if (code >= 0x450 && code <= 0x45F) return code - 0x50;
    return code;
}

}  // namespace

// Stand-in for the Windows comparison: letters compare without case first, and only
// texts that differ in case alone are ordered by it, lower case first.
int compare_paths(const wchar_t* a, const wchar_t* b) {
    int case_order = 0;
    for (;; ++a, ++b) {
        const std::wint_t la = std::towlower(static_cast<std::wint_t>(*a));
        const std::wint_t lb = std::towlower(static_cast<std::wint_t>(*b));
        if (la != lb) return la < lb ? -1 : 1;
        if (*a == L'\0') return case_order;
        if (case_order == 0 && *a != *b) case_order = std::iswlower(static_cast<std::wint_t>(*a)) ? -1 : 1;
    }
}

int compare_names_ignoring_case(std::wstring_view a, std::wstring_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const std::uint32_t ca = capital(a[i]);
        const std::uint32_t cb = capital(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace mendlet
