#pragma once

#include <windows.h>

namespace mendlet {

// The screen's pixels per inch as the program sees them: the system's scale, which its
// manifest says it follows. 96, the scale of 100 %, when there is no screen to ask.
inline int screen_dpi(HWND window) {
    const HDC screen = GetDC(window);
    if (screen == nullptr) return 96;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(window, screen);
    return dpi;
}

}  // namespace mendlet
