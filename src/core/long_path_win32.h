#pragma once
// Paths as the file system functions (CreateFileW, FindFirstFileW, DeleteFileW, ...) take
// them, whatever their length. The shell's functions do not take the long form: paths for
// them stay as the user gave them.

#include <string>

namespace mendlet {

// The path made full against the current folder, as the system would resolve it; the path
// itself when the system cannot.
std::wstring full_path(const std::wstring& path);

// The path itself while its full form is shorter than MAX_PATH, which every system takes;
// longer, its long form, made full first when it is relative.
std::wstring file_system_path(const std::wstring& path);

}  // namespace mendlet
