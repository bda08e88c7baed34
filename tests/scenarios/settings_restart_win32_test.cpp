// Settings as a user makes them (options, language, window position), kept over a restart
// in the two files beside the program.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "lang/ini_lookup_win32.h"
#include "lang/languages.h"
#include "res/resource.h"
#include "scenarios/scenario_win32.h"
#include "support/remote_window_win32.h"
#include "support/screenshot_win32.h"
#include "support/temp_folder_win32.h"

namespace mendlet {
namespace {

using namespace test_support;

constexpr wchar_t CUSTOM_FOLDER[] = L"C:\\Joined files";
constexpr int MOVED_LEFT = 140;
constexpr int MOVED_TOP = 90;
// German is the one language in the program's folder, so the first language command.
constexpr int GERMAN_COMMAND = MENU_ID_ENGLISH - 1;

// In the settings dialog: recurse into sub-folders, no Recycle Bin, the missing-parts test
// before a join, and a custom output folder; then Save.
void change_settings(HWND window) {
    choose_menu(window, IDM_SETTINGS);
    const HWND dialog = wait_for_owned(window, L"Settings");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(set_check(dialog, IDC_RECURSE_SUBFOLDERS, true));
    ASSERT_TRUE(set_check(dialog, IDC_USE_RECYCLE_BIN, false));
    ASSERT_TRUE(set_check(dialog, IDC_TEST_MISSING_BEFORE_JOIN, true));
    ASSERT_TRUE(set_check(dialog, IDC_USE_CUSTOM_PATH, true));
    SendDlgItemMessageW(dialog, IDC_CUSTOM_PATH, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(CUSTOM_FOLDER));
    save_screenshot(window, L"5-settings");
    ASSERT_TRUE(answer(dialog, IDOK));
}

void expect_settings_kept(HWND window, const std::wstring& caption) {
    choose_menu(window, IDM_SETTINGS);
    const HWND dialog = wait_for_owned(window, caption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(checked(dialog, IDC_RECURSE_SUBFOLDERS));
    EXPECT_FALSE(checked(dialog, IDC_USE_RECYCLE_BIN));
    EXPECT_TRUE(checked(dialog, IDC_TEST_MISSING_BEFORE_JOIN));
    EXPECT_FALSE(checked(dialog, IDC_TEST_SIZE_BEFORE_JOIN));
    EXPECT_TRUE(checked(dialog, IDC_USE_CUSTOM_PATH));
    EXPECT_EQ(control_text(dialog, IDC_CUSTOM_PATH), CUSTOM_FOLDER);
    EXPECT_TRUE(answer(dialog, IDCANCEL));
}

TEST(Scenario, OptionsLanguageAndPositionSurviveARestart) {
    TempFolder home;
    ASSERT_TRUE(CreateDirectoryW(home.file(L"lang").c_str(), nullptr));
    const std::wstring german = home.file(L"lang\\German.lng");
    ASSERT_TRUE(CopyFileW((built_languages_folder() + L"\\German.lng").c_str(), german.c_str(), TRUE));
    const auto german_text = ini_file_lookup(german);
    {
        RunningProgram program(home);
        const HWND window = program.window();
        ASSERT_NE(window, nullptr);
        change_settings(window);
        ASSERT_TRUE(set_check(window, IDC_CRC32_CHECK, true));
        ASSERT_TRUE(set_check(window, IDC_APPEND_TO_FIRST, true));
        ASSERT_TRUE(set_check(window, IDC_OPEN_OUTPUT_FOLDER, true));
        choose_menu(window, IDM_DISABLE_HASH);
        choose_menu(window, IDM_ALWAYS_ON_TOP);
        choose_menu(window, GERMAN_COMMAND);
        ASSERT_TRUE(text_becomes(window, IDC_JOIN, german_text(L"join_button", L"001")));
        SetWindowPos(window, nullptr, MOVED_LEFT, MOVED_TOP, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_EQ(program.exit_code_within(SCENARIO_WAIT_MS), 0u);
    }
    // The record is 39 bytes; the strings file one record: tag, count, the folder and its NUL.
    EXPECT_EQ(read_file(home.file(L"mendlet")).value_or("").size(), 39u);
    EXPECT_EQ(read_file(home.file(L"strings")).value_or("").size(), 4 + 2 * (std::wstring(CUSTOM_FOLDER).size() + 1));

    RunningProgram program(home);
    const HWND window = program.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(text_becomes(window, IDC_JOIN, german_text(L"join_button", L"001")));
    save_screenshot(window, L"6-restarted-in-german");
    RECT placed{};
    GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, MOVED_LEFT);
    EXPECT_EQ(placed.top, MOVED_TOP);
    // Under Wine 8 the window's topmost style cannot be watched; its menu mark can.
    EXPECT_NE(GetMenuState(GetMenu(window), IDM_ALWAYS_ON_TOP, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_CRC32_CHECK)));
    EXPECT_TRUE(checked(window, IDC_CRC32_CHECK));
    EXPECT_FALSE(checked(window, IDC_MD5_CHECK));
    EXPECT_TRUE(checked(window, IDC_APPEND_TO_FIRST));
    EXPECT_TRUE(checked(window, IDC_OPEN_OUTPUT_FOLDER));
    EXPECT_FALSE(checked(window, IDC_EXIT_WHEN_DONE));
    expect_settings_kept(window, german_text(L"settings", L"000"));
}

}  // namespace
}  // namespace mendlet
