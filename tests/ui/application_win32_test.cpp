#include "ui/application_win32.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "join/status_line.h"
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
    Application application(GetModuleHandleW(nullptr));
    HWND window = application.create_window();
    ASSERT_NE(window, nullptr);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    for (int button : {IDC_SORT, IDC_MOVE_UP, IDC_MOVE_DOWN})
        EXPECT_NE(SendDlgItemMessageW(window, button, BM_GETIMAGE, IMAGE_ICON, 0), 0) << button;
    EXPECT_EQ(GetFocus(), GetDlgItem(window, IDC_PART_LIST));
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(quit_arrives_within(5000));
}

RECT client_place(HWND window, int control) {
    RECT place;
    GetWindowRect(GetDlgItem(window, control), &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

int height(HWND window) {
    RECT frame;
    GetWindowRect(window, &frame);
    return frame.bottom - frame.top;
}

bool menu_checked(HWND window, UINT item) {
    return (GetMenuState(GetMenu(window), item, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// Starts with the hash section hidden; showing it adds 62 pixels and moves the rows below
// down by as much, and hiding it again puts everything back where it was.
TEST(MainWindow, HashSectionAndAlwaysOnTopToggleBack) {
    Application application(GetModuleHandleW(nullptr));
    HWND window = application.create_window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(menu_checked(window, IDM_DISABLE_HASH));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_HASH_GROUP)));
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_AUTO_SORT), BST_CHECKED);
    const int hidden_height = height(window);
    const RECT status = client_place(window, IDC_STATUS);
    const RECT exit_box = client_place(window, IDC_EXIT_WHEN_DONE);

    SendMessageW(window, WM_COMMAND, IDM_DISABLE_HASH, 0);
    EXPECT_FALSE(menu_checked(window, IDM_DISABLE_HASH));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_CRC32_VALUE)));
    EXPECT_EQ(height(window), hidden_height + 62);
    EXPECT_EQ(client_place(window, IDC_STATUS).top, status.top + 62);
    EXPECT_EQ(client_place(window, IDC_EXIT_WHEN_DONE).left, exit_box.left);

    SendMessageW(window, WM_COMMAND, IDM_DISABLE_HASH, 0);
    EXPECT_EQ(height(window), hidden_height);
    EXPECT_EQ(client_place(window, IDC_STATUS).top, status.top);
    EXPECT_EQ(client_place(window, IDC_EXIT_WHEN_DONE).top, exit_box.top);

    // Under Wine 8 a window that owns a topmost tooltip does not get the topmost style
    // itself, so only the check mark can be watched here.
    SendMessageW(window, WM_COMMAND, IDM_ALWAYS_ON_TOP, 0);
    EXPECT_TRUE(menu_checked(window, IDM_ALWAYS_ON_TOP));
    SendMessageW(window, WM_COMMAND, IDM_ALWAYS_ON_TOP, 0);
    EXPECT_FALSE(menu_checked(window, IDM_ALWAYS_ON_TOP));
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    DestroyWindow(window);
}

TEST(MainWindow, StatusLineFallsBackOnTheTimerAndPaintsInItsColour) {
    Application application(GetModuleHandleW(nullptr));
    HWND window = application.create_window();
    ASSERT_NE(window, nullptr);
    const HWND status = GetDlgItem(window, IDC_STATUS);
    const auto text = [&] {
        wchar_t buffer[128] = {};
        GetWindowTextW(status, buffer, 128);
        return std::wstring(buffer);
    };

    application.status().show_status(L"Files added: 3", COLOUR_INFO, true);
    EXPECT_EQ(text(), L"Files added: 3");
    const HDC dc = GetDC(status);
    const auto brush =
        SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(status));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(GetTextColor(dc), COLOUR_INFO);
    ReleaseDC(status, dc);

    for (int tick = 0; tick < 4; ++tick) SendMessageW(window, WM_TIMER, STATUS_TIMER_ID, 0);
    EXPECT_EQ(text(), L"Files added: 3");
    SendMessageW(window, WM_TIMER, STATUS_TIMER_ID, 0);
    EXPECT_EQ(text(), application.texts().messages[3]);
    EXPECT_EQ(application.status().status_colour(), COLOUR_NORMAL);
    DestroyWindow(window);
}

// The shell announces the taskbar button with a registered message; the window takes the
// taskbar's progress interface then, and only once.
TEST(MainWindow, TakesTheTaskbarInterfaceWhenItsButtonExists) {
    Application application(GetModuleHandleW(nullptr));
    HWND window = application.create_window();
    ASSERT_NE(window, nullptr);
    const UINT button_created = RegisterWindowMessageW(L"TaskbarButtonCreated");
    ASSERT_NE(button_created, 0u);

    SendMessageW(window, button_created, 0, 0);
    ITaskbarList3* const taskbar = application.taskbar();
    ASSERT_NE(taskbar, nullptr);
    SendMessageW(window, button_created, 0, 0);
    EXPECT_EQ(application.taskbar(), taskbar);
    EXPECT_EQ(taskbar->SetProgressState(window, TBPF_INDETERMINATE), S_OK);
    DestroyWindow(window);
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

// Starts the program beside this test as a user starts it, waits for its window, posts
// the given message to it and returns the exit code (none when something failed).
std::optional<DWORD> exit_code_after(UINT message, WPARAM wparam) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    program.replace(program.find_last_of(L'\\') + 1, std::wstring::npos, L"mendlet.exe");
    std::wstring command_line = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return std::nullopt;
    FoundWindow found{process.dwProcessId, nullptr};
    for (int waited = 0; found.window == nullptr && waited < 20000; waited += 50) {
        EnumWindows(find_process_window, reinterpret_cast<LPARAM>(&found));
        if (found.window == nullptr) WaitForSingleObject(process.hProcess, 50);
    }
    const bool shown = found.window != nullptr && GetDlgItem(found.window, IDC_PART_LIST) != nullptr;
    if (shown) PostMessageW(found.window, message, wparam, 0);
    const DWORD waited = WaitForSingleObject(process.hProcess, 20000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    DWORD exit_code = 1;
    GetExitCodeProcess(process.hProcess, &exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!shown || waited != WAIT_OBJECT_0) return std::nullopt;
    return exit_code;
}

TEST(Program, ShowsItsWindowAndExitsWithZeroWhenClosed) { EXPECT_EQ(exit_code_after(WM_CLOSE, 0), 0u); }

TEST(Program, ExitsWithZeroAtTheEndOfTheSession) { EXPECT_EQ(exit_code_after(WM_ENDSESSION, TRUE), 0u); }

}  // namespace
}  // namespace mendlet
