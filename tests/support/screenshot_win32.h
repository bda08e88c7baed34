#pragma once
// What a window shows: its pixels for a test to count, and pictures of what a user would see
// at the main steps of a scenario, kept as test artifacts (artifacts\scenarios beside the test
// program, or another folder there) for people to look at.

#include <windows.h>

#include <string>
#include <vector>

namespace mendlet::test_support {

// The control's client area as painted now, pixel by pixel, row after row.
std::vector<COLORREF> painted(HWND control);

// Saves the screen under the window and the windows it owns (message boxes, dialogs) as
// NAME.bmp in the artifacts folder given; false when it cannot.
bool save_screenshot(HWND window, const std::wstring& name, const std::wstring& folder = L"scenarios");

}  // namespace mendlet::test_support
