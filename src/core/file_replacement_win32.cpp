#include "core/file_replacement_win32.h"

#include "core/long_path_win32.h"

namespace mendlet {

FileReplacement::FileReplacement(const std::wstring& target)
    : target_(file_system_path(target)),
      temporary_(file_system_path(target + L".~" + std::to_wstring(GetCurrentProcessId()))) {
    file_ = CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

FileReplacement::~FileReplacement() {
    if (is_open()) CloseHandle(file_);
    if (!committed_) DeleteFileW(temporary_.c_str());
}

bool FileReplacement::write(const void* data, std::size_t size) {
    DWORD written = 0;
    return is_open() && WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// Flushed first, so that the file never takes the old one's place with part of its
// content still in the cache.
bool FileReplacement::commit() {
    if (!is_open()) return false;
    const bool stored = FlushFileBuffers(file_) != FALSE;
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    committed_ = stored && MoveFileExW(temporary_.c_str(), target_.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    return committed_;
}

}  // namespace mendlet
