#pragma once
// The main window: the modeless dialog built from its template, and the message loop.

#include <windows.h>

namespace mendlet {

// Creates the main dialog, runs the message loop until the window is closed, returns 0.
int run_application(HINSTANCE instance);

// The main dialog from its template, with its icons; none when it cannot be created.
HWND create_main_window(HINSTANCE instance);

}  // namespace mendlet
