#pragma once
// A window worked as a user works it, also one of another process: its texts and rows
// read, its message boxes and dialogs found and answered, files dropped on it.

#include <windows.h>

#include <string>
#include <vector>

namespace mendlet::test_support {

std::wstring text_of(HWND window);

// The text of a cell of a list view, read through memory lent in the list's own process.
std::wstring list_cell(HWND list, int row, int column);

// The visible window with the caption that the owner owns (a message box or a dialog);
// none when there is none.
HWND owned_window(HWND owner, const std::wstring& caption);

// The text of a message box.
std::wstring message_box_text(HWND box);

// Drops the paths on the window at the point of its client area, the drop's memory lent in
// the window's process as the shell's would be.
bool drop_files(HWND window, const std::vector<std::wstring>& paths, POINT point);

}  // namespace mendlet::test_support
