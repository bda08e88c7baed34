#include "recovery/par2_names.h"

#include <algorithm>

#include "core/path_compare.h"

namespace mendlet {

namespace {

std::size_t trailing_digits(std::wstring_view name) {
    std::size_t count = 0;
    while (count < name.size() && name[name.size() - 1 - count] >= L'0' && name[name.size() - 1 - count] <= L'9') ++count;
    return count;
}

bool ends_with_ignoring_case(std::wstring_view name, std::wstring_view end) {
    return name.size() >= end.size() && compare_names_ignoring_case(name.substr(name.size() - end.size()), end) == 0;
}

// The name without a trailing ".volN+N" or ".volN-N".
std::wstring_view without_volume(std::wstring_view name) {
    std::wstring_view rest = name;
    const std::size_t last = trailing_digits(rest);
    rest.remove_suffix(last);
    if (last == 0 || rest.empty() || (rest.back() != L'+' && rest.back() != L'-')) return name;
    rest.remove_suffix(1);
    const std::size_t first = trailing_digits(rest);
    rest.remove_suffix(first);
    if (first == 0 || !ends_with_ignoring_case(rest, L".vol")) return name;
    rest.remove_suffix(4);
    return rest;
}

}  // namespace

std::optional<std::wstring> par2_set_name(std::wstring_view name) {
    if (!ends_with_ignoring_case(name, L".par2")) return std::nullopt;
    name.remove_suffix(5);
    return std::wstring(without_volume(name));
}

namespace {

bool named_after_subject(std::wstring_view name, const std::vector<std::wstring>& subject_names) {
    const std::optional<std::wstring> set = par2_set_name(name);
    return set && std::any_of(subject_names.begin(), subject_names.end(), [&set](const std::wstring& subject) {
               return compare_names_ignoring_case(*set, subject) == 0;
           });
}

}  // namespace

std::vector<std::wstring> par2_files_to_read(const std::vector<std::wstring>& folder_names,
                                             const std::vector<std::wstring>& subject_names) {
    std::vector<std::wstring> named;
    std::vector<std::wstring> others;
    for (const std::wstring& name : folder_names) {
        if (!par2_set_name(name)) continue;
        if (named_after_subject(name, subject_names))
            named.push_back(name);
        else if (others.size() < PAR2_FILES_READ) others.push_back(name);
    }
    return named.empty() ? others : named;
}

RecoveryFiles read_recovery_files(RecoveryFolder& folder, const std::vector<std::wstring>& folder_names,
                                  const std::vector<std::wstring>& subject_names) {
    const std::vector<std::wstring> names = par2_files_to_read(folder_names, subject_names);
    RecoveryFiles found{read_recovery_sets(folder, names), {}};
    for (const std::wstring& name : names) {
        const bool in_a_set = std::any_of(found.sets.begin(), found.sets.end(), [&name](const RecoverySet& set) {
            return std::find(set.read_from.begin(), set.read_from.end(), name) != set.read_from.end();
        });
        if (!in_a_set && named_after_subject(name, subject_names)) found.without_set.push_back(name);
    }
    return found;
}

std::wstring recovery_set_file_name(const RecoverySet& set) {
    for (const std::wstring& name : set.read_from) {
        const std::optional<std::wstring> set_name = par2_set_name(name);
        if (set_name && compare_names_ignoring_case(name, *set_name + L".par2") == 0) return name;
    }
    return set.read_from.empty() ? std::wstring() : set.read_from.front();
}

}  // namespace mendlet
