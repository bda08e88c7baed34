#include "core/folder_files_win32.h"

#include <windows.h>

#include "core/long_path_win32.h"

namespace mendlet {

std::wstring path_in_folder(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += name;
    return path;
}

std::vector<std::wstring> file_names_in(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW(file_system_path(path_in_folder(folder, L"*")).c_str(), FindExInfoBasic,
                                           &found, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

}  // namespace mendlet
