#include "core/names_beside.h"

#include <algorithm>

namespace mendlet {

namespace {

bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

std::vector<std::wstring> names_beside(std::wstring_view path, std::wstring_view suffix, std::wstring_view short_name) {
    const std::size_t name_start = path.find_last_of(L"\\/") + 1;  // 0 when there is no folder
    const std::size_t room = LONGEST_FILE_NAME - std::min(suffix.size(), LONGEST_FILE_NAME);
    std::size_t name_end = name_start + std::min(path.size() - name_start, room);
    // Half a character would make a name that no file system takes.
    if (name_end < path.size() && name_end > name_start && is_high_surrogate(path[name_end - 1])) --name_end;
    std::wstring long_name(path.substr(0, name_end));
    long_name += suffix;
    std::wstring short_path(path.substr(0, name_start));
    short_path += short_name;
    return {std::move(long_name), std::move(short_path)};
}

std::wstring numbered_copy(std::wstring_view path, unsigned number) {
    const std::size_t name_start = path.find_last_of(L"\\/") + 1;
    std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos || dot <= name_start) dot = path.size();
    std::wstring copy(path.substr(0, dot));
    copy += L" (" + std::to_wstring(number) + L")";
    copy += path.substr(dot);
    return copy;
}

}  // namespace mendlet
