#include "join/join_files_win32.h"

#include <windows.h>
#include <shellapi.h>

#include "core/long_path_win32.h"
#include "gather/sibling_listing_win32.h"
#include "checksum/checksum_files_win32.h"
#include "recovery/recovery_files_win32.h"

namespace mendlet {

namespace {

std::optional<FileIdentity> identity_of(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information)) return std::nullopt;
    return FileIdentity{information.dwVolumeSerialNumber,
                        (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

class Win32File : public JoinFile {
public:
    explicit Win32File(HANDLE handle) : handle_(handle) {}
    ~Win32File() override { close(); }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    std::optional<std::uint32_t> read(std::uint8_t* buffer, std::uint32_t size) override {
        DWORD read = 0;
        if (!ReadFile(handle_, buffer, size, &read, nullptr)) return std::nullopt;
        return read;
    }

    bool write(const std::uint8_t* data, std::uint32_t size) override {
        DWORD written = 0;
        return WriteFile(handle_, data, size, &written, nullptr) && written == size;
    }

    std::optional<std::uint64_t> seek_to_end() override {
        LARGE_INTEGER position{};
        if (!SetFilePointerEx(handle_, LARGE_INTEGER{}, &position, FILE_END)) return std::nullopt;
        return static_cast<std::uint64_t>(position.QuadPart);
    }

    bool seek(std::uint64_t offset) override {
        LARGE_INTEGER position{};
        position.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN) != FALSE;
    }

    bool truncate(std::uint64_t size) override {
        LARGE_INTEGER position{};
        position.QuadPart = static_cast<LONGLONG>(size);
        return SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN) && SetEndOfFile(handle_);
    }

    bool flush() override { return FlushFileBuffers(handle_) != FALSE; }

    bool close() override {
        if (handle_ == INVALID_HANDLE_VALUE) return true;
        const bool closed = CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

    std::optional<FileIdentity> identity() override { return identity_of(handle_); }

private:
    HANDLE handle_;
};

std::unique_ptr<JoinFile> open_file(const std::wstring& path, DWORD access, DWORD disposition, DWORD flags) {
    const HANDLE handle =
        CreateFileW(file_system_path(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32File>(handle);
}

}  // namespace

std::unique_ptr<JoinFile> Win32JoinFiles::open_part(const std::wstring& path) {
    return open_file(path, GENERIC_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
}

std::unique_ptr<JoinFile> Win32JoinFiles::open_for_append(const std::wstring& path) {
    return open_file(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

// Created as new, not truncated: under Wine on ext4 a file truncated to nothing is written
// out to disk when it is closed, which made the caller wait almost half a second per GiB at
// the end of every join. A file left by an earlier job goes first.
std::unique_ptr<JoinFile> Win32JoinFiles::create_output(const std::wstring& path) {
    if (auto created = open_file(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN)) return created;
    if (GetLastError() != ERROR_FILE_EXISTS || !DeleteFileW(file_system_path(path).c_str())) return nullptr;
    return open_file(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN);
}

// Shown before the rename, so that a file that cannot take the name is found under its own.
bool Win32JoinFiles::rename_output(const std::wstring& path, const std::wstring& output_path, bool replace) {
    const std::wstring from = file_system_path(path);
    SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_NORMAL);
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExW(from.c_str(), file_system_path(output_path).c_str(), flags) != FALSE;
}

std::vector<ChecksumFile> Win32JoinFiles::checksum_files(const std::wstring& folder,
                                                        const std::vector<std::wstring>& output_names,
                                                        const std::vector<std::wstring>& part_names,
                                                        const std::function<bool()>& stopped) {
    return find_checksum_files(folder, output_names, part_names, stopped);
}

RecoveryFiles Win32JoinFiles::recovery_files(const std::wstring& folder,
                                             const std::vector<std::wstring>& subject_names) {
    return find_recovery_files(folder, subject_names);
}

std::unique_ptr<RecoveryFolder> Win32JoinFiles::recovery_folder(const std::wstring& folder) {
    return open_recovery_folder(folder);
}

ExistingOutput Win32JoinFiles::existing(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(file_system_path(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ExistingOutput::none;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return ExistingOutput::folder;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return ExistingOutput::unreplaceable;
    return ExistingOutput::file;
}

std::uint32_t Win32JoinFiles::highest_part_number(const std::wstring& first_part) {
    return highest_sibling_number(list_siblings(first_part));
}

std::optional<FileIdentity> Win32JoinFiles::identity(const std::wstring& path) {
    // No access asked and every sharing allowed: this works even on files others hold open.
    const HANDLE handle =
        CreateFileW(file_system_path(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    const std::optional<FileIdentity> identity = identity_of(handle);
    CloseHandle(handle);
    return identity;
}

bool Win32JoinFiles::delete_files(const std::vector<std::wstring>& paths, bool use_recycle_bin) {
    if (!use_recycle_bin) {
        bool all = true;
        for (const std::wstring& path : paths) all = DeleteFileW(file_system_path(path).c_str()) != FALSE && all;
        return all;
    }
    if (paths.empty()) return true;
    // The shell takes the paths as one list: each ended by a NUL, and one more NUL at the end.
    // It does not take the long form, so they go as the user gave them.
    std::wstring from;
    for (const std::wstring& path : paths) from.append(path).push_back(L'\0');
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING;
    return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

}  // namespace mendlet
