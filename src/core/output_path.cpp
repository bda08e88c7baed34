#include "core/output_path.h"

#include "core/part_list.h"
#include "settings/settings.h"

namespace mendlet {

namespace {

inline constexpr std::size_t BASE_NAME_MAX = 511;
inline constexpr std::size_t NONE = std::wstring_view::npos;

// The last backslash and the last dot of the file name. The first character never counts
// as a dot, and a backslash forgets any dot before it.
struct NameMarks {
    std::size_t backslash = NONE;
    std::size_t dot = NONE;
};

NameMarks find_name_marks(std::wstring_view path) {
    NameMarks marks;
    for (std::size_t i = 1; i < path.size(); ++i) {
        if (path[i] == L'\\') {
            marks.backslash = i;
            marks.dot = NONE;
        } else if (path[i] == L'.') {
            marks.dot = i;
        }
    }
    return marks;
}

}  // namespace

std::wstring derive_output_name(std::wstring_view part_path, std::wstring_view no_dot_suffix) {
    const NameMarks marks = find_name_marks(part_path);
    if (marks.dot != NONE) return std::wstring(part_path.substr(0, marks.dot));
    std::wstring name(part_path);
    name += no_dot_suffix;
    return name;
}

std::optional<std::wstring> derive_output_name_in_folder(std::wstring_view part_path, std::wstring_view folder,
                                                         std::wstring_view no_dot_suffix) {
    const NameMarks marks = find_name_marks(part_path);
    if (marks.backslash == NONE) return std::nullopt;
    if (!folder.empty() && folder.back() == L'\\') folder.remove_suffix(1);
    std::wstring name(folder);
    if (marks.dot != NONE) {
        name += part_path.substr(marks.backslash, marks.dot - marks.backslash);
    } else {
        name += part_path.substr(marks.backslash);
        name += no_dot_suffix;
    }
    return name;
}

std::optional<std::wstring> output_base_name(std::wstring_view part_path) {
    const NameMarks marks = find_name_marks(part_path);
    const std::size_t start = marks.backslash == NONE ? 0 : marks.backslash + 1;
    if (marks.dot == NONE || marks.dot - start > BASE_NAME_MAX) return std::nullopt;
    return std::wstring(part_path.substr(start, marks.dot - start));
}

OutputPathUpdate next_output_path(const PartList& list, const OutputBox& box, bool append,
                                  std::optional<std::wstring> remembered_output_path, const Settings& settings,
                                  std::wstring_view no_dot_suffix) {
    OutputPathUpdate update{std::wstring(), std::move(remembered_output_path)};
    const PartEntry* first = list.first();
    if (first == nullptr) return update;
    if (box.modified && box.text.empty()) update.remembered_output_path.reset();
    if (append) {
        if (box.modified) {
            update.remembered_output_path.reset();
            if (!box.text.empty()) update.remembered_output_path = box.text;
        }
        update.box_text = first->path;
    } else if (update.remembered_output_path) {
        update.box_text = *update.remembered_output_path;
    } else if (!settings.use_custom_output_path || settings.custom_output_path.empty()) {
        update.box_text = derive_output_name(first->path, no_dot_suffix);
    } else {
        update.box_text = derive_output_name_in_folder(first->path, settings.custom_output_path, no_dot_suffix)
                              .value_or(std::wstring());
    }
    return update;
}

}  // namespace mendlet
