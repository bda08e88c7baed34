#include "ui/main_window_win32.h"

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"

namespace mendlet {
namespace {

// Takes messages from the queue until the quit message arrives or the time is up.
bool quit_arrives_within(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < milliseconds) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return true;
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return false;
}

TEST(MainWindow, CreatedWithIconsAndClosesWithQuit) {
    HWND window = create_main_window(GetModuleHandleW(nullptr));
    ASSERT_NE(window, nullptr);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    for (int button : {IDC_SORT, IDC_MOVE_UP, IDC_MOVE_DOWN})
        EXPECT_NE(SendDlgItemMessageW(window, button, BM_GETIMAGE, IMAGE_ICON, 0), 0) << button;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(quit_arrives_within(5000));
}

struct FoundWindow {
    DWORD process;
    HWND window;
};

BOOL CALLBACK find_process_window(HWND window, LPARAM context) {
    auto* found = reinterpret_cast<FoundWindow*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t caption[16] = {};
    GetWindowTextW(window, caption, 16);
    if (process == found->process && IsWindowVisible(window) && std::wstring(caption) == L"Mendlet") {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

// The program beside this test, as a user starts it: its window shows, and closing it
// ends the process with exit code 0.
TEST(Program, StartsShowsItsWindowAndExitsWithZero) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    program.replace(program.find_last_of(L'\\') + 1, std::wstring::npos, L"mendlet.exe");
    std::wstring command_line = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    FoundWindow found{process.dwProcessId, nullptr};
    for (int waited = 0; found.window == nullptr && waited < 20000; waited += 50) {
        EnumWindows(find_process_window, reinterpret_cast<LPARAM>(&found));
        if (found.window == nullptr) WaitForSingleObject(process.hProcess, 50);
    }
    EXPECT_NE(found.window, nullptr);
    if (found.window != nullptr) {
        EXPECT_NE(GetDlgItem(found.window, IDC_PART_LIST), nullptr);
        PostMessageW(found.window, WM_CLOSE, 0, 0);
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, 20000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    DWORD exit_code = 1;
    GetExitCodeProcess(process.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace mendlet
