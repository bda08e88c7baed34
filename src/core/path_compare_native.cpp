#include "core/path_compare.h"

#include <cwctype>

namespace mendlet {

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

}  // namespace mendlet
