#include "gather/part_adder_win32.h"

#include <windows.h>

#include "core/long_path_win32.h"
#include "gather/folder_parts.h"
#include "gather/sibling_listing_win32.h"
#include "gather/siblings.h"
#include "recovery/par2_names.h"
#include "recovery/recovery_files_win32.h"

namespace mendlet {

namespace {

std::uint64_t joined_size(DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; }

std::wstring with_backslash(std::wstring_view folder) {
    std::wstring path(folder);
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}

// A folder that stands for another (a junction, a symbolic link, a mounted volume) is not
// entered: one that leads back up would be scanned again and again until the paths
// overflow. Wine reports a link to a folder without its tag. Other folders that are
// reparse points (files kept in the cloud) hold their own files and are entered.
bool is_folder_link(const WIN32_FIND_DATAW& found) {
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (found.dwReserved0 == 0 || IsReparseTagNameSurrogate(found.dwReserved0));
}

// Every file of the folder in listing order, a sub-folder's where it is met when recursing.
void list_tree(const std::wstring& folder, bool recurse, std::vector<PartAdder::FoundFile>& found) {
    const std::wstring prefix = with_backslash(folder);
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(file_system_path(prefix + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring_view name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            found.push_back({prefix + entry.cFileName, listed_size(entry)});
        else if (recurse && !is_folder_link(entry))
            list_tree(prefix + entry.cFileName, true, found);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

}  // namespace

PartAdder::PartAdder(PartList& list, bool sorted, bool by_path, std::function<void()> cannot_open)
    : list_(list),
      sorted_(sorted),
      by_path_(by_path),
      cannot_open_(std::move(cannot_open)),
      count_before_(list.count()) {}

void PartAdder::add_path(std::int32_t position, const std::wstring& path, std::uint64_t size) {
    std::int32_t status = STATUS_OK;
    const HANDLE file = CreateFileW(file_system_path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    BY_HANDLE_FILE_INFORMATION information;
    if (file == INVALID_HANDLE_VALUE) {
        status = STATUS_CANNOT_READ;
    } else if (size == SIZE_NOT_GIVEN) {
        if (GetFileInformationByHandle(file, &information))
            size = joined_size(information.nFileSizeHigh, information.nFileSizeLow);
        else
            status = STATUS_CANNOT_READ;
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (status == STATUS_CANNOT_READ) {
        size = 0;
        cannot_open_();
    }
    list_.add_part(sorted_ ? NO_POSITION : position, false, path, size, status, by_path_);
}

void PartAdder::add_path_in_folder(std::int32_t position, std::wstring_view folder, std::wstring_view name,
                                   std::uint64_t size) {
    add_path(position, with_backslash(folder) + std::wstring(name), size);
}

std::vector<PartAdder::FoundFile> PartAdder::scan_folder(const std::wstring& folder, bool recurse) {
    std::vector<FoundFile> found;
    list_tree(folder, recurse, found);
    std::vector<std::wstring> paths;
    for (const FoundFile& file : found) paths.push_back(file.path);
    const FolderChoice choice = choose_folder_files(paths);
    left_out_ += choice.left_out;
    std::vector<FoundFile> taken;
    for (const std::size_t index : choice.taken) taken.push_back(std::move(found[index]));
    return taken;
}

bool PartAdder::auto_load_siblings(std::int32_t position, const std::wstring& path) {
    if (!is_first_part(path)) {
        add_path(position, path, SIZE_NOT_GIVEN);
        return false;
    }
    const std::wstring folder = path.substr(0, path.rfind(L'\\') + 1);
    const SiblingSet set = siblings_past_rebuilt(path, list_siblings(path));
    for (const Sibling& sibling : set.siblings) {
        add_path(position, folder + sibling.name, sibling.size);
        if (position != NO_POSITION) ++position;
    }
    if (set.missing_number != 0)
        missing_sibling_ = sibling_name(std::wstring_view(path).substr(folder.size()), set.missing_number);
    return true;
}

// Each gap in turn, while one recovery set can rebuild every part in the gaps so far; the
// folder's recovery files are read only when there is a gap.
SiblingSet PartAdder::siblings_past_rebuilt(const std::wstring& path, const std::vector<FolderEntry>& listing) {
    SiblingSet set = siblings_in_order(listing);
    if (set.missing_number == 0) return set;
    const std::size_t folder_end = path.rfind(L'\\');
    const std::wstring_view first = std::wstring_view(path).substr(folder_end + 1);
    // The joined file's name goes with a set made over it: the first part's without its number.
    std::wstring joined(first.substr(0, first.size() - 3));
    if (!joined.empty() && joined.back() == L'.') joined.pop_back();
    std::vector<std::wstring> subjects{joined};
    for (std::uint32_t number = 1; number <= highest_sibling_number(listing); ++number)
        subjects.push_back(sibling_name(first, number));
    const RecoveryFiles found = find_recovery_files(path.substr(0, folder_end), subjects);
    std::vector<std::uint32_t> rebuilt;
    std::vector<std::wstring> names;
    while (set.missing_number != 0) {
        names.push_back(sibling_name(first, set.missing_number));
        const std::optional<std::size_t> rebuilding = set_rebuilding(found.sets, names);
        if (!rebuilding) break;
        rebuilt.push_back(set.missing_number);
        rebuilt_sibling_ = names.front();
        rebuilding_set_ = recovery_set_file_name(found.sets[*rebuilding]);
        set = siblings_in_order(listing, rebuilt);
    }
    return set;
}

std::uint32_t PartAdder::finish() {
    if (sorted_) list_.sort_in(count_before_, by_path_);
    const std::uint32_t added = list_.count() - count_before_;
    count_before_ = list_.count();
    return added;
}

}  // namespace mendlet
