#include "gather/sibling_listing_win32.h"

#include "core/long_path_win32.h"
#include "core/part_list.h"

namespace mendlet {

std::uint64_t listed_size(const WIN32_FIND_DATAW& found) {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return SIZE_NOT_GIVEN;
    return (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
}

std::vector<FolderEntry> list_siblings(const std::wstring& first_part_path) {
    std::vector<FolderEntry> listing;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(file_system_path(sibling_pattern(first_part_path)).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return listing;
    do {
        listing.push_back(
            {found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, listed_size(found)});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return listing;
}

}  // namespace mendlet
