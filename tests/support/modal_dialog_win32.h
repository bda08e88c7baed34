#pragma once
// A modal dialog of the main window, worked from within its own modal loop.

#include <windows.h>

#include <functional>

namespace mendlet::test_support {

// Sends the menu command that opens the dialog and runs the action in the dialog, found by
// one of its controls; a dialog the action leaves open is then cancelled. True when the
// dialog was shown.
bool in_modal_dialog(HWND window, UINT command, int marking_control, const std::function<void(HWND)>& action);

}  // namespace mendlet::test_support
