#include "core/ordering.h"

#include "core/part_list.h"
#include "core/path_compare.h"

namespace mendlet {

namespace {

bool is_digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

std::uint32_t extract_ordinal(std::wstring_view path) {
    const std::size_t backslash = path.rfind(L'\\');
    const std::size_t name_start = backslash == std::wstring_view::npos ? 0 : backslash;
    std::size_t end = path.size();
    while (end > name_start && !is_digit(path[end - 1])) --end;
    if (end == name_start) return 0;
    std::size_t start = end;
    while (start > name_start && is_digit(path[start - 1])) --start;
    // Runs longer than an unsigned 32-bit number wrap around, which keeps the numbers of
    // consecutive parts consecutive.
    std::uint32_t value = 0;
    for (std::size_t i = start; i < end; ++i) value = value * 10u + static_cast<std::uint32_t>(path[i] - L'0');
    return value;
}

int compare_parts(const PartEntry& a, const PartEntry& b, bool by_path) {
    if (by_path) {
        const int result = compare_paths(a.path.c_str(), b.path.c_str());
        return result < 0 ? -1 : result > 0 ? 1 : 0;
    }
    return a.ordinal < b.ordinal ? -1 : a.ordinal > b.ordinal ? 1 : 0;
}

std::uint32_t sorted_position(const PartList& list, const PartEntry& entry, bool by_path) {
    const PartEntry* last = list.last();
    if (last == nullptr || compare_parts(entry, *last, by_path) >= 0) return list.count();
    std::uint32_t index = 0;
    for (const PartEntry& existing : list) {
        if (compare_parts(existing, entry, by_path) >= 0) return index;
        ++index;
    }
    return list.count();
}

}  // namespace mendlet
