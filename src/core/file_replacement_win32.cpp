#include "core/file_replacement_win32.h"

#include "core/long_path_win32.h"
#include "core/names_beside.h"

namespace mendlet {

// Named after the target, or shortly where the folder refuses that name for its length.
FileReplacement::FileReplacement(const std::wstring& target) : target_(file_system_path(target)) {
    const std::wstring process = std::to_wstring(GetCurrentProcessId());
    for (const std::wstring& name : names_beside(target, L".~" + process, L"mendlet.~" + process)) {
        const std::wstring path = file_system_path(name);
        file_ = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (is_open()) {
            temporary_ = path;
            return;
        }
    }
}

FileReplacement::~FileReplacement() {
    if (is_open()) CloseHandle(file_);
    if (!committed_ && !temporary_.empty()) DeleteFileW(temporary_.c_str());
}

bool FileReplacement::write(const void* data, std::size_t size) {
    DWORD written = 0;
    return is_open() && WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// Flushed first, so that the file never takes the old one's place with part of its
// content still in the cache.
bool FileReplacement::commit() {
    if (!is_open()) return false;
    // A share may report at the close that it could not store what it was given.
    const bool flushed = FlushFileBuffers(file_) != FALSE;
    const bool stored = CloseHandle(file_) != FALSE && flushed;
    file_ = INVALID_HANDLE_VALUE;
    committed_ = stored && MoveFileExW(temporary_.c_str(), target_.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    return committed_;
}

}  // namespace mendlet
