// Append mode with "Delete parts": a first part dropped on the window brings its set, and
// the join leaves the whole file in the first part and no other part behind.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "res/resource.h"
#include "scenarios/scenario_win32.h"
#include "settings/settings_file.h"
#include "support/remote_window_win32.h"
#include "support/screenshot_win32.h"
#include "support/temp_folder_win32.h"

namespace mendlet {
namespace {

using namespace test_support;

TEST(Scenario, AppendingWithDeletePartsLeavesTheWholeFileInTheFirstPart) {
    TempFolder home;
    TempFolder folder;
    Settings settings;
    settings.use_recycle_bin = false;
    WindowState shown;
    shown.hash_shown = true;
    shown.crc32_enabled = true;
    shown.md5_enabled = true;
    const auto record = encode_settings_file(settings, shown);
    home.write(L"mendlet", std::string(record.begin(), record.end()));
    const std::string parts[] = {random_text(700000, 31), random_text(700000, 32), random_text(4321, 33)};
    const std::wstring names[] = {L"backup.tar.001", L"backup.tar.002", L"backup.tar.003"};
    for (int i = 0; i < 3; ++i) folder.write(names[i], parts[i]);
    const std::string original = parts[0] + parts[1] + parts[2];

    RunningProgram program(home);
    const HWND window = program.window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(drop_files(window, {folder.file(names[0])}, POINT{60, 60}));
    ASSERT_TRUE(rows_become(window, 3));
    EXPECT_TRUE(text_becomes(window, IDC_STATUS, L"Files auto loaded: 3"));
    ASSERT_TRUE(set_check(window, IDC_APPEND_TO_FIRST, true));
    ASSERT_TRUE(set_check(window, IDC_DELETE_PARTS, true));
    EXPECT_EQ(control_text(window, IDC_OUTPUT_PATH), folder.file(names[0]));
    save_screenshot(window, L"9-append-to-first-part");

    click(window, IDC_JOIN);
    ASSERT_TRUE(text_becomes(window, IDC_STATUS, L"Files joined successfully!"));
    EXPECT_TRUE(read_file(folder.file(names[0])) == original);
    EXPECT_EQ(GetFileAttributesW(folder.file(names[1]).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(folder.file(names[2]).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(control_text(window, IDC_CRC32_VALUE), reference_crc32(original));
    EXPECT_EQ(control_text(window, IDC_MD5_VALUE), reference_md5(original));
}

}  // namespace
}  // namespace mendlet
