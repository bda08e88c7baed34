#include "support/modal_dialog_win32.h"

namespace mendlet::test_support {

namespace {

// What the open dialog is to do, and how to know it; the timer that acts has no context.
struct DialogWork {
    int marking_control;
    const std::function<void(HWND)>* action;
    bool shown;
};
DialogWork* pending_work = nullptr;

BOOL CALLBACK find_dialog(HWND window, LPARAM found) {
    if (GetDlgItem(window, pending_work->marking_control) == nullptr || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK act_on_dialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), find_dialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    pending_work->shown = true;
    (*pending_work->action)(dialog);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

bool in_modal_dialog(HWND window, UINT command, int marking_control, const std::function<void(HWND)>& action) {
    DialogWork work{marking_control, &action, false};
    pending_work = &work;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, act_on_dialog);
    SendMessageW(window, WM_COMMAND, command, 0);
    KillTimer(nullptr, timer);
    pending_work = nullptr;
    return work.shown;
}

}  // namespace mendlet::test_support
