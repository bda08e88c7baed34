// The settings dialog on the real main window: the boxes show the settings, Save writes
// them back in its order, Cancel and the close box change nothing.

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "settings/settings_file.h"
#include "support/modal_dialog_win32.h"
#include "support/temp_folder_win32.h"
#include "ui/application_win32.h"
#include "ui/window_text_win32.h"

namespace mendlet {
namespace {

using test_support::TempFolder;

bool checked(HWND dialog, int control) { return IsDlgButtonChecked(dialog, control) == BST_CHECKED; }
bool enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }
void click(HWND dialog, int control) { SendDlgItemMessageW(dialog, control, BM_CLICK, 0, 0); }

std::wstring text_of(HWND dialog, int control) { return window_text(GetDlgItem(dialog, control)); }

bool menu_checked(HWND window, UINT item) {
    return (GetMenuState(GetMenu(window), item, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// Every setting as bytes, the custom folder included.
std::string settings_bytes(const Settings& settings) {
    const auto record = encode_settings_file(settings, WindowState{});
    const auto strings = encode_strings_file(settings);
    return std::string(record.begin(), record.end()) + std::string(strings.begin(), strings.end());
}

class SettingsDialogTest : public ::testing::Test {
protected:
    SettingsDialogTest() { window = application.create_window(); }

    // Opens the dialog from the menu and runs the action in it; true when it was shown.
    bool in_dialog(const std::function<void(HWND)>& action) {
        return test_support::in_modal_dialog(window, IDM_SETTINGS, IDC_CUSTOM_PATH, action);
    }

    void add_part(const wchar_t* name, std::uint64_t size, std::int32_t status) {
        application.list().add_part(NO_POSITION, false, folder.file(name), size, status, false);
    }

    std::vector<std::wstring> names() {
        std::vector<std::wstring> paths;
        for (const PartEntry& entry : application.list()) paths.push_back(entry.path.substr(folder.path().size() + 1));
        return paths;
    }

    std::vector<std::int32_t> statuses() {
        std::vector<std::int32_t> values;
        for (const PartEntry& entry : application.list()) values.push_back(entry.status);
        return values;
    }

    TempFolder folder;
    Application application{GetModuleHandleW(nullptr)};
    HWND window = nullptr;
};

TEST_F(SettingsDialogTest, OpensOverTheMainWindowShowingTheSettings) {
    Settings& settings = application.settings();
    settings.skip_missing_test_on_load = true;
    settings.sort_by_whole_path = true;
    settings.test_size_before_join = true;
    settings.use_recycle_bin = false;
    ASSERT_TRUE(in_dialog([&](HWND dialog) {
        EXPECT_EQ(window_text(dialog), L"Settings");
        EXPECT_EQ(text_of(dialog, IDC_TEST_MISSING_ON_LOAD), application.texts().settings[2]);
        EXPECT_EQ(text_of(dialog, IDCANCEL), L"Cancel");
        // Three boxes state the option whose negation is stored.
        EXPECT_FALSE(checked(dialog, IDC_TEST_MISSING_ON_LOAD));
        EXPECT_TRUE(checked(dialog, IDC_TEST_SIZE_ON_LOAD));
        EXPECT_FALSE(checked(dialog, IDC_SORT_LAST_NUMBER));
        EXPECT_FALSE(checked(dialog, IDC_TEST_MISSING_BEFORE_JOIN));
        EXPECT_TRUE(checked(dialog, IDC_TEST_SIZE_BEFORE_JOIN));
        EXPECT_TRUE(checked(dialog, IDC_REMOVE_ALL_AFTER_JOIN));
        EXPECT_FALSE(checked(dialog, IDC_DISABLE_AUTO_LOAD));
        EXPECT_TRUE(checked(dialog, IDC_REMEMBER_POSITION));
        EXPECT_FALSE(checked(dialog, IDC_USE_RECYCLE_BIN));
        EXPECT_TRUE(checked(dialog, IDC_CHECK_VERSION_ON_START));
        EXPECT_TRUE(checked(dialog, IDC_SAME_AS_INPUT));
        EXPECT_FALSE(enabled(dialog, IDC_CUSTOM_PATH) || enabled(dialog, IDC_BROWSE_CUSTOM_PATH));

        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        GetWindowPlacement(window, &placement);
        const RECT& main = placement.rcNormalPosition;
        RECT own;
        GetWindowRect(dialog, &own);
        // The two centres meet, give or take the half pixel an odd difference leaves.
        EXPECT_LE(std::abs((own.left + own.right) - (main.left + main.right)), 1);
        EXPECT_LE(std::abs((own.top + own.bottom) - (main.top + main.bottom)), 1);
        EXPECT_FALSE(IsWindowEnabled(window));
    }));
    EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(SettingsDialogTest, CustomPathChosenButLeftEmpty) {
    ASSERT_TRUE(in_dialog([&](HWND dialog) {
        click(dialog, IDC_USE_CUSTOM_PATH);
        EXPECT_TRUE(enabled(dialog, IDC_CUSTOM_PATH) && enabled(dialog, IDC_BROWSE_CUSTOM_PATH));
        click(dialog, IDOK);
    }));
    EXPECT_FALSE(application.settings().use_custom_output_path);
    ASSERT_TRUE(in_dialog([&](HWND dialog) {
        EXPECT_TRUE(checked(dialog, IDC_SAME_AS_INPUT));
        EXPECT_EQ(text_of(dialog, IDC_CUSTOM_PATH), L"");
    }));
}

TEST_F(SettingsDialogTest, APathIsKeptWhileSameAsInputFolderIsChosen) {
    ASSERT_TRUE(in_dialog([&](HWND dialog) {
        click(dialog, IDC_USE_CUSTOM_PATH);
        SetDlgItemTextW(dialog, IDC_CUSTOM_PATH, L"D:\\out");
        click(dialog, IDC_SAME_AS_INPUT);
        EXPECT_FALSE(enabled(dialog, IDC_CUSTOM_PATH));
        click(dialog, IDOK);
    }));
    EXPECT_EQ(application.settings().custom_output_path, L"D:\\out");
    EXPECT_FALSE(application.settings().use_custom_output_path);
    ASSERT_TRUE(in_dialog([&](HWND dialog) {
        EXPECT_TRUE(checked(dialog, IDC_SAME_AS_INPUT));
        EXPECT_EQ(text_of(dialog, IDC_CUSTOM_PATH), L"D:\\out");
        EXPECT_FALSE(enabled(dialog, IDC_CUSTOM_PATH));
        click(dialog, IDC_USE_CUSTOM_PATH);
        click(dialog, IDOK);
    }));
    EXPECT_TRUE(application.settings().use_custom_output_path);
    ASSERT_TRUE(in_dialog([&](HWND dialog) {
        EXPECT_TRUE(checked(dialog, IDC_USE_CUSTOM_PATH));
        EXPECT_TRUE(enabled(dialog, IDC_CUSTOM_PATH));
    }));
}

TEST_F(SettingsDialogTest, TheFolderBrowserFillsThePath) {
    BROWSEINFOW asked{};
    PIDLIST_ABSOLUTE answer = nullptr;
    application.browse_for_folder = [&](BROWSEINFOW& browser) {
        asked = browser;
        return answer;
    };
    ASSERT_TRUE(in_dialog([&](HWND dialog) {
        click(dialog, IDC_USE_CUSTOM_PATH);
        SetDlgItemTextW(dialog, IDC_CUSTOM_PATH, L"typed");
        click(dialog, IDC_BROWSE_CUSTOM_PATH);
        EXPECT_EQ(text_of(dialog, IDC_CUSTOM_PATH), L"typed");
        answer = ILCreateFromPathW(folder.path().c_str());
        click(dialog, IDC_BROWSE_CUSTOM_PATH);
        EXPECT_EQ(text_of(dialog, IDC_CUSTOM_PATH), folder.path());
    }));
    EXPECT_EQ(asked.hwndOwner, window);
    EXPECT_EQ(asked.lpszTitle, nullptr);
    EXPECT_EQ(asked.ulFlags,
              UINT{BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON});
    // Left by Cancel: nothing was stored.
    EXPECT_TRUE(application.settings().custom_output_path.empty());
}

// Only a changed on-load test re-evaluates, and only a changed sort mode re-sorts, and that
// only while "Auto" is ticked.
TEST_F(SettingsDialogTest, SaveActsOnlyOnWhatChanged) {
    add_part(L"x.002", 7, STATUS_OK);
    add_part(L"x.001", 10, STATUS_CANNOT_READ);
    add_part(L"x.003", 10, STATUS_OK);
    const std::vector<std::wstring> hand_made{L"x.002", L"x.001", L"x.003"};
    ASSERT_TRUE(in_dialog([](HWND dialog) { click(dialog, IDOK); }));
    EXPECT_EQ(names(), hand_made);
    EXPECT_EQ(statuses(), (std::vector<std::int32_t>{STATUS_OK, STATUS_CANNOT_READ, STATUS_OK}));

    CheckDlgButton(window, IDC_AUTO_SORT, BST_UNCHECKED);
    ASSERT_TRUE(in_dialog([](HWND dialog) {
        click(dialog, IDC_SORT_LAST_NUMBER);
        click(dialog, IDOK);
    }));
    EXPECT_TRUE(application.settings().sort_by_whole_path);
    EXPECT_EQ(names(), hand_made);

    CheckDlgButton(window, IDC_AUTO_SORT, BST_CHECKED);
    ASSERT_TRUE(in_dialog([](HWND dialog) {
        click(dialog, IDC_SORT_LAST_NUMBER);
        click(dialog, IDOK);
    }));
    EXPECT_FALSE(application.settings().sort_by_whole_path);
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"x.001", L"x.002", L"x.003"}));

    application.list().at(1)->set_status(STATUS_SIZE_MISMATCH);
    ASSERT_TRUE(in_dialog([](HWND dialog) {
        click(dialog, IDC_TEST_MISSING_ON_LOAD);
        click(dialog, IDC_TEST_SIZE_ON_LOAD);
        click(dialog, IDC_REMOVE_ALL_AFTER_JOIN);
        click(dialog, IDOK);
    }));
    EXPECT_TRUE(application.settings().skip_missing_test_on_load && application.settings().skip_size_test_on_load);
    // The warning goes; the part that cannot be read still says so.
    EXPECT_EQ(statuses(), (std::vector<std::int32_t>{STATUS_CANNOT_READ, STATUS_OK, STATUS_OK}));
    EXPECT_FALSE(application.settings().remove_all_after_join);
    EXPECT_FALSE(menu_checked(window, IDM_REMOVE_ALL_AFTER_JOIN));
}

TEST_F(SettingsDialogTest, CancelAndTheCloseBoxChangeNothing) {
    const std::string before = settings_bytes(application.settings());
    const auto change_everything = [](HWND dialog) {
        for (const int box : {IDC_TEST_MISSING_ON_LOAD, IDC_TEST_SIZE_ON_LOAD, IDC_TEST_MISSING_BEFORE_JOIN,
                              IDC_TEST_SIZE_BEFORE_JOIN, IDC_SORT_LAST_NUMBER, IDC_REMOVE_ALL_AFTER_JOIN,
                              IDC_DISABLE_AUTO_LOAD, IDC_RECURSE_SUBFOLDERS, IDC_REMEMBER_POSITION,
                              IDC_USE_RECYCLE_BIN, IDC_CHECK_VERSION_ON_START, IDC_USE_CUSTOM_PATH})
            click(dialog, box);
        SetDlgItemTextW(dialog, IDC_CUSTOM_PATH, L"D:\\out");
    };
    ASSERT_TRUE(in_dialog([&](HWND dialog) {
        change_everything(dialog);
        click(dialog, IDCANCEL);
    }));
    EXPECT_EQ(settings_bytes(application.settings()), before);
    EXPECT_TRUE(menu_checked(window, IDM_REMOVE_ALL_AFTER_JOIN));
    ASSERT_TRUE(in_dialog([&](HWND dialog) {
        change_everything(dialog);
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    }));
    EXPECT_EQ(settings_bytes(application.settings()), before);
    EXPECT_TRUE(menu_checked(window, IDM_REMOVE_ALL_AFTER_JOIN));
    // Saved, the same changes all arrive.
    ASSERT_TRUE(in_dialog([&](HWND dialog) {
        change_everything(dialog);
        click(dialog, IDOK);
    }));
    Settings expected;
    expected.skip_missing_test_on_load = expected.skip_size_test_on_load = true;
    expected.test_missing_before_join = expected.test_size_before_join = expected.sort_by_whole_path = true;
    expected.remove_all_after_join = false;
    expected.disable_auto_load = expected.recurse_subfolders = true;
    expected.remember_window_position = expected.use_recycle_bin = expected.check_version_on_start = false;
    expected.use_custom_output_path = true;
    expected.custom_output_path = L"D:\\out";
    EXPECT_EQ(settings_bytes(application.settings()), settings_bytes(expected));
}

}  // namespace
}  // namespace mendlet
