#pragma once

#include <windows.h>

namespace mendlet {

// A dialog over the middle of the main window's restored place, its size kept, off the
// screen if that is.
inline void centre_over(HWND dialog, HWND main_window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(main_window, &placement);
    const RECT& main = placement.rcNormalPosition;
    RECT own;
    GetWindowRect(dialog, &own);
    const int left = main.left + ((main.right - main.left) - (own.right - own.left)) / 2;
    const int top = main.top + ((main.bottom - main.top) - (own.bottom - own.top)) / 2;
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace mendlet
