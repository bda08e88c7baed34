#pragma once
// The file manager and the programs that files are associated with, as the user's shell
// starts them.

#include <windows.h>

#include <string>

namespace mendlet {

// A new file manager window on the file's folder, with the file selected.
bool open_in_file_manager(HWND owner, const std::wstring& path);

// The file in the program it is associated with.
bool open_with_associated_program(HWND owner, const std::wstring& path);

// One of the program's own web or mail addresses, in the user's default handler for it.
void open_kept_address(HWND owner, const std::string& address);

}  // namespace mendlet
