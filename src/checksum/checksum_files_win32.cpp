#include "checksum/checksum_files_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "core/folder_files_win32.h"
#include "core/long_path_win32.h"

namespace mendlet {

namespace {

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
std::optional<std::string> read_file_start(const std::wstring& path, std::size_t most) {
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

class Win32ChecksumFolder : public ChecksumFolder {
public:
    explicit Win32ChecksumFolder(const std::wstring& path) : path_(path) {}

    const std::wstring& path() const override { return path_; }

    std::vector<std::wstring> file_names() override { return file_names_in(path_); }

    std::optional<std::string> read_start(const std::wstring& name, std::size_t most) override {
        return read_file_start(path_in_folder(path_, name), most);
    }

private:
    const std::wstring& path_;
};

}  // namespace

std::vector<ChecksumFile> find_checksum_files(const std::wstring& folder, const std::vector<std::wstring>& output_names,
                                              const std::vector<std::wstring>& part_names,
                                              const std::function<bool()>& stopped) {
    Win32ChecksumFolder checksum_folder(folder);
    return find_checksum_files(checksum_folder, output_names, part_names, stopped);
}

}  // namespace mendlet
