// The shell's programs really start: a new window appears, and the test closes it again.

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

// Waits for a visible top-level window that was not there before, then closes it.
bool new_window_appears_and_is_closed(const std::set<HWND>& before) {
    HWND appeared = nullptr;
    const bool found = wait_for([&] {
        for (HWND window : visible_windows())
            if (before.count(window) == 0) appeared = window;
        return appeared != nullptr;
    });
    if (!found) return false;
    PostMessageW(appeared, WM_CLOSE, 0, 0);
    return wait_for([&] { return !IsWindow(appeared); });
}

TEST(Shell, OpensTheFileManagerOnAFileAndAFileInItsProgram) {
    TempFolder folder;
    const std::wstring file = folder.write(L"joined.txt", "Mendlet");

    std::set<HWND> before = visible_windows();
    ASSERT_TRUE(open_in_file_manager(nullptr, file));
    EXPECT_TRUE(new_window_appears_and_is_closed(before));

    // A program is the one kind of file every system knows how to open: a copy of Notepad.
    wchar_t system[MAX_PATH];
    ASSERT_NE(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring program = folder.file(L"joined.exe");
    ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\notepad.exe").c_str(), program.c_str(), TRUE));
    before = visible_windows();
    ASSERT_TRUE(open_with_associated_program(nullptr, program));
    EXPECT_TRUE(new_window_appears_and_is_closed(before));
}

}  // namespace
}  // namespace mendlet
