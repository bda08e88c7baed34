#pragma once
// New content for a file, written beside it under a name of this process and put in the
// file's place only once it is whole: a full disk or a crash never leaves half a file, and
// a write that fails leaves the old file as it was.

#include <windows.h>

#include <cstddef>
#include <string>

namespace mendlet {

class FileReplacement {
public:
    explicit FileReplacement(const std::wstring& target);
    // Removes what was written unless it took the file's place.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // False when the new content cannot be written beside the file.
    bool is_open() const { return file_ != INVALID_HANDLE_VALUE; }
    // True only when all size bytes were written.
    bool write(const void* data, std::size_t size);
    // Puts the new content in the file's place; false, with the old file as it was, when it
    // cannot be stored or cannot take that place.
    bool commit();

private:
    std::wstring target_;
    std::wstring temporary_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool committed_ = false;
};

}  // namespace mendlet
