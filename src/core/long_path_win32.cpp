#include "core/long_path_win32.h"

#include <windows.h>

#include "core/long_path.h"

namespace mendlet {

std::wstring full_path(const std::wstring& path) {
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) return path;
    full.resize(written);
    return full;
}

// Without the long form, and without long paths switched on for the whole system, a path
// of MAX_PATH characters or more names no file at all.
std::wstring file_system_path(const std::wstring& path) {
    if (is_full_path(path)) return path.size() < MAX_PATH ? path : long_path_form(path);
    const std::wstring full = full_path(path);
    return full.size() < MAX_PATH ? path : long_path_form(full);
}

}  // namespace mendlet
