#include <windows.h>

#include "core/path_compare.h"

namespace mendlet {

int compare_paths(const wchar_t* a, const wchar_t* b) { return lstrcmpW(a, b); }

}  // namespace mendlet
