#pragma once
// Pictures of what a user would see at the main steps of a scenario, kept as test artifacts
// (artifacts\scenarios beside the test program) for people to look at.

#include <windows.h>

#include <string>

namespace mendlet::test_support {

// Saves the screen under the window and the windows it owns (message boxes, dialogs) as
// NAME.bmp; false when it cannot.
bool save_screenshot(HWND window, const std::wstring& name);

}  // namespace mendlet::test_support
