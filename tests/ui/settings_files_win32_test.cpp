// The settings files beside the program, read as the real main window starts and written
// when it is destroyed.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "res/resource.h"
#include "settings/settings_file.h"
#include "support/temp_folder_win32.h"
#include "ui/application_win32.h"

namespace mendlet {
namespace {

using test_support::names_in;
using test_support::read_file;
using test_support::TempFolder;

bool checked(HWND window, int control) { return IsDlgButtonChecked(window, control) == BST_CHECKED; }

bool menu_checked(HWND window, UINT item) {
    return (GetMenuState(GetMenu(window), item, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::string bytes_of(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) bytes.push_back(static_cast<char>(value));
    return bytes;
}

// A written record with one byte changed.
std::string record_with(int revision, std::size_t offset, int value) {
    WindowState window;
    window.language_id = 1033;
    auto record = encode_settings_file(Settings{}, window);
    record[2] = static_cast<std::uint8_t>(revision);
    record[offset] = static_cast<std::uint8_t>(value);
    return std::string(record.begin(), record.end());
}

class SettingsFilesTest : public ::testing::Test {
protected:
    // The window of a program that lives in home under the given name.
    HWND start(const wchar_t* program_name = L"mendlet.exe") {
        application = std::make_unique<Application>(GetModuleHandleW(nullptr), std::wstring(), home.file(program_name));
        application->ui_language = [] { return LANGID{1033}; };
        window = application->create_window();
        return window;
    }

    // Closes the window as the user does, which writes the files.
    void close() {
        SendMessageW(window, WM_CLOSE, 0, 0);
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        application.reset();
        window = nullptr;
    }

    std::wstring settings_file() const { return home.file(L"mendlet"); }
    std::wstring strings_file() const { return home.file(L"strings"); }

    TempFolder home;
    std::unique_ptr<Application> application;
    HWND window = nullptr;
};

TEST_F(SettingsFilesTest, WithoutFilesEverythingIsDefaultAndClosingWritesBoth) {
    ASSERT_NE(start(), nullptr);
    EXPECT_TRUE(checked(window, IDC_AUTO_SORT));
    EXPECT_TRUE(menu_checked(window, IDM_DISABLE_HASH));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_CRC32_CHECK)));
    EXPECT_TRUE(menu_checked(window, IDM_REMOVE_ALL_AFTER_JOIN));
    const Settings& settings = application->settings();
    EXPECT_TRUE(settings.use_recycle_bin && settings.check_version_on_start && settings.remember_window_position);
    EXPECT_TRUE(names_in(home.path()).empty());

    close();
    const auto record = read_file(settings_file());
    ASSERT_TRUE(record.has_value());
    ASSERT_EQ(record->size(), 39u);
    EXPECT_EQ(record->substr(0, 24), bytes_of({1, 0, 9, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(record->substr(32), bytes_of({0x09, 0x04, 0, 0, 0, 0, 1}));
    EXPECT_EQ(read_file(strings_file()), bytes_of({1, 0, 0, 0, 0, 0}));
    // Nothing else is left beside them.
    EXPECT_EQ(names_in(home.path()).size(), 2u);
}

// The window's own state, the settings and the custom folder come back on the next start.
TEST_F(SettingsFilesTest, WhatIsClosedWithComesBack) {
    ASSERT_NE(start(), nullptr);
    SendMessageW(window, WM_COMMAND, IDM_DISABLE_HASH, 0);
    SendMessageW(window, WM_COMMAND, IDM_ALWAYS_ON_TOP, 0);
    SendMessageW(window, WM_COMMAND, IDM_REMOVE_ALL_AFTER_JOIN, 0);
    for (const int box : {IDC_AUTO_SORT, IDC_CRC32_CHECK, IDC_EXIT_WHEN_DONE, IDC_DELETE_PARTS})
        SendDlgItemMessageW(window, box, BM_CLICK, 0, 0);
    Settings& settings = application->settings();
    settings.custom_output_path = L"D:\\out";
    settings.use_custom_output_path = true;
    settings.recurse_subfolders = true;
    settings.check_version_on_start = false;
    close();
    EXPECT_EQ(read_file(strings_file()),
              bytes_of({1, 0, 7, 0, 'D', 0, ':', 0, '\\', 0, 'o', 0, 'u', 0, 't', 0, 0, 0}));

    ASSERT_NE(start(), nullptr);
    EXPECT_FALSE(menu_checked(window, IDM_DISABLE_HASH));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_CRC32_CHECK)));
    // Wine does not make a window that owns a topmost tooltip topmost: only the mark shows.
    EXPECT_TRUE(menu_checked(window, IDM_ALWAYS_ON_TOP));
    EXPECT_FALSE(menu_checked(window, IDM_REMOVE_ALL_AFTER_JOIN));
    EXPECT_FALSE(checked(window, IDC_AUTO_SORT));
    EXPECT_TRUE(checked(window, IDC_CRC32_CHECK));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_CRC32_VALUE)));
    EXPECT_FALSE(checked(window, IDC_MD5_CHECK));
    EXPECT_TRUE(checked(window, IDC_EXIT_WHEN_DONE));
    EXPECT_TRUE(checked(window, IDC_DELETE_PARTS));
    EXPECT_FALSE(checked(window, IDC_OPEN_OUTPUT_FILE));
    const Settings& restored = application->settings();
    EXPECT_FALSE(restored.remove_all_after_join);
    EXPECT_TRUE(restored.recurse_subfolders);
    EXPECT_FALSE(restored.check_version_on_start);
    EXPECT_TRUE(restored.use_custom_output_path);
    EXPECT_EQ(restored.custom_output_path, L"D:\\out");
}

// Bytes 4 to 7 apply, and everything after them reads as 0, the later fields included.
TEST_F(SettingsFilesTest, AnEightByteFile) {
    home.write(L"mendlet", bytes_of({1, 0, 9, 0, 0, 1, 0, 1}));
    ASSERT_NE(start(), nullptr);
    EXPECT_FALSE(checked(window, IDC_AUTO_SORT));
    EXPECT_TRUE(checked(window, IDC_APPEND_TO_FIRST));
    EXPECT_FALSE(menu_checked(window, IDM_REMOVE_ALL_AFTER_JOIN));
    EXPECT_TRUE(menu_checked(window, IDM_ALWAYS_ON_TOP));
    EXPECT_TRUE(menu_checked(window, IDM_DISABLE_HASH));
    const Settings& settings = application->settings();
    EXPECT_FALSE(settings.remove_all_after_join || settings.disable_auto_load || settings.recurse_subfolders);
    EXPECT_FALSE(settings.use_recycle_bin || settings.check_version_on_start || settings.remember_window_position);
}

TEST_F(SettingsFilesTest, OldRevisions) {
    constexpr std::size_t HASH_SHOWN = 10, USE_RECYCLE_BIN = 17, CHECK_VERSION = 38, DISABLE_AUTO_LOAD = 13;
    // Up to revision 4 the byte said whether the hash section was hidden.
    home.write(L"mendlet", record_with(4, HASH_SHOWN, 0));
    ASSERT_NE(start(), nullptr);
    EXPECT_FALSE(menu_checked(window, IDM_DISABLE_HASH));
    close();
    home.write(L"mendlet", record_with(4, HASH_SHOWN, 1));
    ASSERT_NE(start(), nullptr);
    EXPECT_TRUE(menu_checked(window, IDM_DISABLE_HASH));
    close();
    // Revision 5 has no recycle-bin or version-check fields: they keep their defaults.
    std::string revision5 = record_with(5, USE_RECYCLE_BIN, 0);
    revision5[CHECK_VERSION] = 0;
    revision5[DISABLE_AUTO_LOAD] = 1;
    home.write(L"mendlet", revision5);
    ASSERT_NE(start(), nullptr);
    EXPECT_TRUE(application->settings().use_recycle_bin);
    EXPECT_TRUE(application->settings().check_version_on_start);
    EXPECT_TRUE(application->settings().disable_auto_load);
}

// A window saved past any edge of the work area comes back wholly inside it, at its own size.
TEST_F(SettingsFilesTest, TheWindowReturnsWhollyOntoTheWorkArea) {
    RECT work_area;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_area, 0));
    // Stand-ins for the far edges, which depend on the window's size.
    constexpr std::int32_t FAR_EDGE = INT32_MIN;
    struct Case {
        std::int32_t left, top, expected_left, expected_top;
    };
    for (const Case& c : {Case{100, 100, 100, 100}, Case{-600, 100, work_area.left, 100},
                          Case{100, -300, 100, work_area.top}, Case{100, 5000, 100, FAR_EDGE},
                          Case{5000, 100, FAR_EDGE, 100}}) {
        WindowState saved;
        saved.window_left = c.left;
        saved.window_top = c.top;
        const auto record = encode_settings_file(Settings{}, saved);
        home.write(L"mendlet", std::string(record.begin(), record.end()));
        ASSERT_NE(start(), nullptr);
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        GetWindowPlacement(window, &placement);
        const RECT& place = placement.rcNormalPosition;
        const std::int32_t expected_left =
            c.expected_left == FAR_EDGE ? work_area.right - (place.right - place.left) : c.expected_left;
        const std::int32_t expected_top =
            c.expected_top == FAR_EDGE ? work_area.bottom - (place.bottom - place.top) : c.expected_top;
        EXPECT_EQ(place.left, expected_left) << c.left;
        EXPECT_EQ(place.top, expected_top) << c.top;
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(GetFocus(), GetDlgItem(window, IDC_PART_LIST));
        close();
        const auto written = read_file(settings_file());
        ASSERT_TRUE(written.has_value());
        EXPECT_EQ(written->substr(24, 4), bytes_of({expected_left & 0xFF, (expected_left >> 8) & 0xFF,
                                                    (expected_left >> 16) & 0xFF, (expected_left >> 24) & 0xFF}));
    }
}

TEST_F(SettingsFilesTest, AProgramPathWithoutAThreeLetterExtensionHasNoSettingsFiles) {
    ASSERT_NE(start(L"mendlet.b"), nullptr);
    SendDlgItemMessageW(window, IDC_AUTO_SORT, BM_CLICK, 0, 0);
    close();
    EXPECT_TRUE(names_in(home.path()).empty());
}

TEST_F(SettingsFilesTest, DamagedFilesGiveDefaults) {
    const std::string huge(3 << 20, '\x01');
    const std::pair<std::string, std::string> damaged[] = {
        {bytes_of({2, 0, 9, 0, 0, 0, 0, 0}), bytes_of({1, 0, 0, 0x80, 'a', 0})},
        {bytes_of({1, 0, 9, 0, 0, 0, 0}), bytes_of({7, 0, 0xFF, 0xFF, 1, 0, 2, 0, 'b', 0, 0, 0})},
        {std::string(39, '\xFF'), bytes_of({1, 0, 9, 0, 'x', 0})},
        {huge, huge},
    };
    for (const auto& [settings_bytes, strings_bytes] : damaged) {
        home.write(L"mendlet", settings_bytes);
        home.write(L"strings", strings_bytes);
        ASSERT_NE(start(), nullptr);
        EXPECT_TRUE(application->settings().custom_output_path.empty());
        EXPECT_FALSE(application->settings().use_custom_output_path);
        close();
    }
    // A file of the right format but all bits set reads as every flag on; the stored
    // language matches no file and leaves English.
    home.write(L"mendlet", std::string(1, '\x01') + std::string(1, '\0') + std::string(37, '\xFF'));
    ASSERT_NE(start(), nullptr);
    EXPECT_TRUE(menu_checked(window, IDM_LANG_ENGLISH));
    EXPECT_TRUE(application->settings().use_recycle_bin);
}

// Neither file is touched, and nothing is left behind, when the first cannot be replaced.
TEST_F(SettingsFilesTest, AFileThatCannotBeWrittenLeavesNoTrace) {
    ASSERT_TRUE(CreateDirectoryW(settings_file().c_str(), nullptr));
    home.write(L"strings", "old");
    ASSERT_NE(start(), nullptr);
    close();
    EXPECT_EQ(read_file(strings_file()), "old");
    EXPECT_EQ(names_in(home.path()).size(), 2u);
}

}  // namespace
}  // namespace mendlet
