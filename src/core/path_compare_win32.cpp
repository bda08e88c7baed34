#include <windows.h>

#include "core/path_compare.h"

namespace mendlet {

int compare_paths(const wchar_t* a, const wchar_t* b) { return lstrcmpW(a, b); }

int compare_names_ignoring_case(std::wstring_view a, std::wstring_view b) {
    // An empty view may hold no pointer, which the system refuses.
    const auto text = [](std::wstring_view name) { return name.empty() ? L"" : name.data(); };
    // CSTR_LESS_THAN, CSTR_EQUAL and CSTR_GREATER_THAN are 1, 2 and 3.
    return CompareStringOrdinal(text(a), static_cast<int>(a.size()), text(b), static_cast<int>(b.size()), TRUE) -
           CSTR_EQUAL;
}

}  // namespace mendlet
