#pragma once
// Paths dropped at a point, laid out as the shell hands them to a window: a DROPFILES
// header followed by the wide paths, each ended by NUL, and a final NUL.

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace mendlet::test_support {

inline std::vector<char> dropped_files(const std::vector<std::wstring>& paths, POINT point) {
    std::size_t units = 1;
    for (const std::wstring& path : paths) units += path.size() + 1;
    std::vector<char> bytes(sizeof(DROPFILES) + units * sizeof(wchar_t));
    auto* files = reinterpret_cast<DROPFILES*>(bytes.data());
    files->pFiles = sizeof(DROPFILES);
    files->pt = point;
    files->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(files + 1);
    for (const std::wstring& path : paths) names = std::copy(path.begin(), path.end(), names) + 1;
    return bytes;
}

}  // namespace mendlet::test_support
