// The shell's programs really start: the file manager's window appears and is closed again.

#include "ui/shell_win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

#include "support/temp_folder_win32.h"

namespace mendlet {
namespace {

using test_support::TempFolder;

std::set<HWND> visible_windows() {
    std::set<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            if (IsWindowVisible(window)) reinterpret_cast<std::set<HWND>*>(found)->insert(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

template <typename Condition>
bool wait_for(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::wstring program_of(HWND window) {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
    if (process == nullptr) return {};
    wchar_t path[MAX_PATH];
    DWORD length = MAX_PATH;
    const BOOL known = QueryFullProcessImageNameW(process, 0, path, &length);
    CloseHandle(process);
    if (!known) return {};
    const std::wstring full(path, length);
    return full.substr(full.find_last_of(L'\\') + 1);
}

// Waits for a new visible top-level window of the file manager, then closes it. Windows of
// other programs (other tests run beside this one) are left alone.
bool file_manager_window_appears_and_is_closed(const std::set<HWND>& before) {
    HWND appeared = nullptr;
    const bool found = wait_for([&] {
        for (HWND window : visible_windows())
            if (before.count(window) == 0 && lstrcmpiW(program_of(window).c_str(), L"explorer.exe") == 0)
                appeared = window;
        return appeared != nullptr;
    });
    if (!found) return false;
    PostMessageW(appeared, WM_CLOSE, 0, 0);
    return wait_for([&] { return !IsWindow(appeared); });
}

TEST(Shell, OpensTheFileManagerOnAFileAndStartsAProgram) {
    TempFolder folder;
    const std::wstring file = folder.write(L"joined.txt", "Mendlet");
    const std::set<HWND> before = visible_windows();
    ASSERT_TRUE(open_in_file_manager(nullptr, file));
    EXPECT_TRUE(file_manager_window_appears_and_is_closed(before));

    // A program is the one kind of file every system knows how to open; this one prints a
    // line and ends by itself.
    wchar_t system[MAX_PATH];
    ASSERT_NE(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring program = folder.file(L"joined.exe");
    ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\hostname.exe").c_str(), program.c_str(), TRUE));
    EXPECT_TRUE(open_with_associated_program(nullptr, program));
    // Once it has ended its file can go.
    EXPECT_TRUE(wait_for([&] { return DeleteFileW(program.c_str()) != FALSE; }));
}

}  // namespace
}  // namespace mendlet
