#include "core/long_path.h"

#include <vector>

namespace mendlet {

namespace {

bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool is_device_path(std::wstring_view path) {
    return path.size() >= 4 && is_separator(path[0]) && is_separator(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
           is_separator(path[3]);
}

bool is_drive_path(std::wstring_view path) { return path.size() >= 3 && path[1] == L':' && is_separator(path[2]); }

bool is_share_path(std::wstring_view path) {
    return path.size() >= 3 && is_separator(path[0]) && is_separator(path[1]) && !is_separator(path[2]);
}

// The names after the root, with "." dropped and ".." taking the name before it away,
// but never one of the first `kept` (a share's server and share).
std::vector<std::wstring_view> resolved_names(std::wstring_view rest, std::size_t kept) {
    std::vector<std::wstring_view> names;
    for (std::size_t start = 0; start < rest.size();) {
        std::size_t end = start;
        while (end < rest.size() && !is_separator(rest[end])) ++end;
        const std::wstring_view name = rest.substr(start, end - start);
        if (name == L"..") {
            if (names.size() > kept) names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

// A name that ends in a dot loses that dot, unless it is all dots (a valid name).
void drop_final_dot(std::wstring_view& name) {
    if (name.back() == L'.' && name.find_first_not_of(L'.') != std::wstring_view::npos) name.remove_suffix(1);
}

void drop_final_dots_and_spaces(std::wstring_view& name) {
    const std::size_t end = name.find_last_not_of(L". ");
    name = name.substr(0, end == std::wstring_view::npos ? 0 : end + 1);
}

}  // namespace

bool is_full_path(std::wstring_view path) { return is_device_path(path) || is_drive_path(path) || is_share_path(path); }

std::wstring long_path_form(std::wstring_view path) {
    if (is_device_path(path) || !is_full_path(path)) return std::wstring(path);
    const bool drive = is_drive_path(path);
    const std::size_t kept = drive ? 0 : 2;
    std::vector<std::wstring_view> names = resolved_names(path.substr(drive ? 3 : 2), kept);
    bool ends_with_separator = is_separator(path.back());
    for (std::size_t i = kept; i < names.size(); ++i) {
        if (i + 1 < names.size() || ends_with_separator) {
            drop_final_dot(names[i]);
            continue;
        }
        drop_final_dots_and_spaces(names[i]);
        if (names[i].empty()) {
            names.pop_back();
            ends_with_separator = true;
        }
    }
    std::wstring form = drive ? L"\\\\?\\" + std::wstring(path.substr(0, 2)) : L"\\\\?\\UNC";
    for (const std::wstring_view name : names) form.append(1, L'\\').append(name);
    if (names.empty() || ends_with_separator) form += L'\\';
    return form;
}

}  // namespace mendlet
