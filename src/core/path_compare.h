#pragma once
// Comparisons of paths and file names; only the sign of a result counts. Windows builds use
// the system's own comparisons, other builds stand-ins.

#include <string>
#include <string_view>

namespace mendlet {

// Case-sensitive and locale-aware, for sorting paths as users read them.
int compare_paths(const wchar_t* a, const wchar_t* b);

// Without regard to case and character by character, as the file system tells names apart.
// Every character counts, NUL included.
int compare_names_ignoring_case(std::wstring_view a, std::wstring_view b);

// A key that names equal without regard to case share, for finding names in a hash table:
// only what no case mapping changes is kept (digits, dots, blanks), and
// compare_names_ignoring_case decides among the names of one key. The parts of a set differ
// in their digits alone.
inline std::wstring name_lookup_key(std::wstring_view name) {
    std::wstring key(name);
    for (wchar_t& c : key) {
        const wchar_t lower = static_cast<wchar_t>(c | 0x20);
        if (c >= 0x80 || (lower >= L'a' && lower <= L'z')) c = L'*';
    }
    return key;
}

}  // namespace mendlet
