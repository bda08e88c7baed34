#include "gather/folder_parts.h"

#include <algorithm>

#include "checksum/checksum_file.h"
#include "checksum/checksum_names.h"
#include "core/path_compare.h"

namespace mendlet {

namespace {

constexpr std::wstring_view RECOVERY_EXTENSION = L".par2";

bool belongs_to_set(std::wstring_view path) { return is_checksum_file_name(path) || is_recovery_file_name(path); }

}  // namespace

bool is_numbered_part_name(std::wstring_view name) {
    name = last_name_component(name);
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || dot + 1 == name.size()) return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(dot) + 1, name.end(),
                       [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

bool is_recovery_file_name(std::wstring_view name) {
    return name.size() >= RECOVERY_EXTENSION.size() &&
           compare_names_ignoring_case(name.substr(name.size() - RECOVERY_EXTENSION.size()), RECOVERY_EXTENSION) == 0;
}

FolderChoice choose_folder_files(const std::vector<std::wstring>& paths) {
    const bool numbered_only = std::any_of(paths.begin(), paths.end(), [](const std::wstring& path) {
        return !belongs_to_set(path) && is_numbered_part_name(path);
    });
    FolderChoice choice;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (belongs_to_set(paths[i])) continue;
        if (!numbered_only || is_numbered_part_name(paths[i]))
            choice.taken.push_back(i);
        else
            ++choice.left_out;
    }
    return choice;
}

}  // namespace mendlet
