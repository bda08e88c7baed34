#include "checksum/checksum_files_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "core/long_path_win32.h"
#include "core/path_compare.h"

namespace mendlet {

namespace {

std::wstring in_folder(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += name;
    return path;
}

// What the folder holds under that name (a folder too, which then cannot be read as a
// file). The system's search also matches short names and takes some characters as
// wildcards, so each name it finds is compared again.
std::vector<std::wstring> found_names(std::wstring_view folder, std::wstring_view name) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(file_system_path(in_folder(folder, name)).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (compare_names_ignoring_case(found.cFileName, name) == 0) names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// Fills bytes, or as much of them as the file holds; false when a read fails.
bool read_into(HANDLE file, std::string& bytes) {
    std::size_t length = 0;
    while (length < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + length, static_cast<DWORD>(bytes.size() - length), &read, nullptr))
            return false;
        if (read == 0) break;
        length += read;
    }
    bytes.resize(length);
    return true;
}

// The first bytes of a file, at most `most`; none when it cannot be read.
std::optional<std::string> read_start(const std::wstring& path, std::size_t most) {
    const HANDLE file = CreateFileW(file_system_path(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size)) {
        bytes.emplace(static_cast<std::size_t>(std::min<std::uint64_t>(size.QuadPart, most)), '\0');
        if (!read_into(file, *bytes)) bytes.reset();
    }
    CloseHandle(file);
    return bytes;
}

}  // namespace

std::vector<ChecksumFile> find_checksum_files(std::wstring_view folder, std::wstring_view output_name) {
    std::vector<ChecksumFile> files;
    for (const std::wstring& candidate : checksum_file_names(output_name)) {
        for (std::wstring& name : found_names(folder, candidate)) {
            // One byte more than is read shows whether the file goes on beyond the limit.
            const std::optional<std::string> bytes = read_start(in_folder(folder, name), CHECKSUM_FILE_LIMIT + 1);
            if (!bytes) continue;
            std::vector<ChecksumEntry> entries =
                parse_checksum_file(name, whole_lines_within(*bytes, CHECKSUM_FILE_LIMIT));
            if (!entries.empty()) files.push_back({std::move(name), std::move(entries)});
        }
    }
    return files;
}

}  // namespace mendlet
