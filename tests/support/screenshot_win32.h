#pragma once
// Pictures of what a user would see at the main steps of a scenario, kept as test artifacts
// (artifacts\scenarios beside the test program, or another folder there) for people to look at.

#include <windows.h>

#include <string>

namespace mendlet::test_support {

// Saves the screen under the window and the windows it owns (message boxes, dialogs) as
// NAME.bmp in the artifacts folder given; false when it cannot.
bool save_screenshot(HWND window, const std::wstring& name, const std::wstring& folder = L"scenarios");

}  // namespace mendlet::test_support
