#include "gather/siblings.h"

#include <algorithm>

#include "core/part_list.h"

namespace mendlet {

namespace {

// The number in the last three characters, when they are all digits; 0 otherwise.
std::uint32_t sibling_number(std::wstring_view name) {
    if (name.size() < 3) return 0;
    std::uint32_t number = 0;
    for (const wchar_t c : name.substr(name.size() - 3)) {
        if (c < L'0' || c > L'9') return 0;
        number = number * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    return number;
}

// What a set's names share: all but the last three characters.
std::wstring_view without_number(std::wstring_view name) {
    return name.substr(0, name.size() < 3 ? 0 : name.size() - 3);
}

}  // namespace

bool is_first_part(std::wstring_view path) { return path.size() >= 3 && path.substr(path.size() - 3) == L"001"; }

std::wstring sibling_pattern(std::wstring_view path) { return std::wstring(without_number(path)) + L"???"; }

SiblingSet siblings_in_order(const std::vector<FolderEntry>& listing, const std::vector<std::uint32_t>& rebuilt) {
    struct Pending {
        std::uint32_t number;
        const std::wstring* name;
    };
    SiblingSet set;
    std::vector<Sibling>& siblings = set.siblings;
    std::vector<Pending> pending;
    std::uint32_t expected = 0;
    const auto next_expected = [&] {
        do ++expected;
        while (std::find(rebuilt.begin(), rebuilt.end(), expected) != rebuilt.end());
    };
    next_expected();
    for (const FolderEntry& entry : listing) {
        const std::uint32_t number = entry.folder ? 0 : sibling_number(entry.name);
        if (number == 0) continue;
        if (number == expected) {
            siblings.push_back({entry.name, entry.size});
            next_expected();
        } else {
            pending.push_back({number, &entry.name});
        }
    }
    for (;;) {
        const auto next =
            std::find_if(pending.begin(), pending.end(), [expected](const Pending& p) { return p.number == expected; });
        if (next == pending.end()) break;
        siblings.push_back({*next->name, SIZE_NOT_GIVEN});
        pending.erase(next);
        next_expected();
    }
    if (highest_sibling_number(listing) > expected) set.missing_number = expected;
    return set;
}

std::uint32_t highest_sibling_number(const std::vector<FolderEntry>& listing) {
    std::uint32_t highest = 0;
    for (const FolderEntry& entry : listing)
        if (!entry.folder) highest = std::max(highest, sibling_number(entry.name));
    return highest;
}

std::wstring sibling_name(std::wstring_view first_part_name, std::uint32_t number) {
    std::wstring digits = std::to_wstring(number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), L'0');
    return std::wstring(without_number(first_part_name)) + digits;
}

}  // namespace mendlet
