#include "recovery/recovery_files_win32.h"

#include <windows.h>

#include <limits>
#include <memory>
#include <utility>

#include "core/folder_files_win32.h"
#include "core/long_path_win32.h"
#include "recovery/par2_names.h"

namespace mendlet {

namespace {

class Win32ReadableFile : public ReadableFile {
public:
    Win32ReadableFile(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
    ~Win32ReadableFile() override { CloseHandle(file_); }
    Win32ReadableFile(const Win32ReadableFile&) = delete;
    Win32ReadableFile& operator=(const Win32ReadableFile&) = delete;

    std::uint64_t size() override { return size_; }

    // Each read says where it starts, so that no file position is kept between reads.
    std::size_t read_at(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
        std::size_t done = 0;
        while (done < length) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset + done);
            at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
            const auto piece = static_cast<DWORD>(std::min<std::size_t>(length - done, std::numeric_limits<DWORD>::max()));
            DWORD read = 0;
            if (!ReadFile(file_, buffer + done, piece, &read, &at) || read == 0) break;
            done += read;
        }
        return done;
    }

private:
    HANDLE file_;
    std::uint64_t size_;
};

class Win32RecoveryFolder : public RecoveryFolder {
public:
    explicit Win32RecoveryFolder(std::wstring path) : path_(std::move(path)) {}

    std::unique_ptr<ReadableFile> open(const std::wstring& name) override {
        const HANDLE file = CreateFileW(file_system_path(path_in_folder(path_, name)).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return nullptr;
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file, &size)) {
            CloseHandle(file);
            return nullptr;
        }
        return std::make_unique<Win32ReadableFile>(file, static_cast<std::uint64_t>(size.QuadPart));
    }

private:
    const std::wstring path_;
};

}  // namespace

RecoveryFiles find_recovery_files(const std::wstring& folder, const std::vector<std::wstring>& subject_names) {
    Win32RecoveryFolder recovery_folder(folder);
    return read_recovery_files(recovery_folder, file_names_in(folder), subject_names);
}

std::unique_ptr<RecoveryFolder> open_recovery_folder(const std::wstring& folder) {
    return std::make_unique<Win32RecoveryFolder>(folder);
}

}  // namespace mendlet
