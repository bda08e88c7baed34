// The typical run on the built program: a first part opened from the command line brings
// its set, Join rebuilds the file with both digests; and a long join stopped and run again.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "res/resource.h"
#include "scenarios/scenario_win32.h"
#include "support/remote_window_win32.h"
#include "support/screenshot_win32.h"
#include "support/temp_folder_win32.h"

namespace mendlet {
namespace {

using namespace test_support;

// The parts lie in a user's downloads, where the pictures show them.
TEST(Scenario, AFirstPartFromTheCommandLineIsJoinedWithItsDigests) {
    TempFolder downloads(ExactPath{L"C:\\Users\\Anna\\Downloads\\Holiday 2026"});
    TempFolder home;
    const std::string parts[] = {random_text(1 << 20, 11), random_text(1 << 20, 12), random_text(1 << 20, 13),
                                 random_text(333333, 14)};
    const std::wstring names[] = {L"holiday movie.avi.001", L"holiday movie.avi.002", L"holiday movie.avi.003",
                                  L"holiday movie.avi.004"};
    for (int i = 0; i < 4; ++i) downloads.write(names[i], parts[i]);
    const std::string original = parts[0] + parts[1] + parts[2] + parts[3];

    RunningProgram program(home, quoted(downloads.file(names[0])));
    const HWND window = program.window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(rows_become(window, 4));
    EXPECT_TRUE(text_becomes(window, IDC_STATUS, L"Files auto loaded: 4"));
    const HWND rows = GetDlgItem(window, IDC_PART_LIST);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list_cell(rows, i, 0), downloads.file(names[i]));
        EXPECT_EQ(list_cell(rows, i, 2), L"ok");
    }
    EXPECT_EQ(control_text(window, IDC_OUTPUT_PATH), downloads.file(L"holiday movie.avi"));
    ASSERT_TRUE(ask_for_both_digests(window));
    save_screenshot(window, L"1-parts-loaded");

    click(window, IDC_JOIN);
    ASSERT_TRUE(text_becomes(window, IDC_STATUS, L"Files joined successfully!"));
    save_screenshot(window, L"2-joined");
    EXPECT_TRUE(read_file(downloads.file(L"holiday movie.avi")) == original);
    EXPECT_EQ(control_text(window, IDC_CRC32_VALUE), reference_crc32(original));
    EXPECT_EQ(control_text(window, IDC_MD5_VALUE), reference_md5(original));
    EXPECT_EQ(row_count(window), 0);  // emptied after the join, as by default
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(read_file(downloads.file(names[i])) == parts[i]);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exit_code_within(SCENARIO_WAIT_MS), 0u);
}

TEST(Scenario, AJoinStoppedHalfwayIsRunAgainToTheEnd) {
    TempFolder downloads(ExactPath{L"C:\\Users\\Anna\\Downloads\\Backup"});
    TempFolder home;
    constexpr std::size_t part_size = 160u << 20;
    std::string original;
    for (std::uint64_t i = 0; i < 3; ++i) {
        const std::string part = random_text(part_size, 20 + i);
        downloads.write(L"disk.img.00" + std::to_wstring(i + 1), part);
        original += part;
    }
    const std::wstring output = downloads.file(L"disk.img");

    RunningProgram program(home, quoted(downloads.file(L"disk.img.001")));
    const HWND window = program.window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(rows_become(window, 3));
    ASSERT_TRUE(ask_for_both_digests(window));

    click(window, IDC_JOIN);
    const HWND progress = GetDlgItem(window, IDC_PROGRESS);
    ASSERT_TRUE(becomes_true([&] { return SendMessageW(progress, PBM_GETPOS, 0, 0) > 0; }, SCENARIO_WAIT_MS));
    EXPECT_EQ(control_text(window, IDC_JOIN), L"&Stop");
    save_screenshot(window, L"3-joining");
    click(window, IDC_JOIN);
    ASSERT_TRUE(text_becomes(window, IDC_JOIN, L"&Join"));
    save_screenshot(window, L"4-stopped");
    // Stopped: no digests, the list kept, and no file that could pass for the whole one.
    EXPECT_EQ(control_text(window, IDC_MD5_VALUE), L"");
    EXPECT_EQ(row_count(window), 3);
    EXPECT_EQ(control_text(window, IDC_STATUS), L"Ready");
    EXPECT_FALSE(read_file(output).has_value());
    EXPECT_FALSE(read_file(output + L".mendlet-unfinished").has_value());

    click(window, IDC_JOIN);
    ASSERT_TRUE(text_becomes(window, IDC_STATUS, L"Files joined successfully!"));
    EXPECT_EQ(control_text(window, IDC_MD5_VALUE), reference_md5(original));
    EXPECT_EQ(control_text(window, IDC_CRC32_VALUE), reference_crc32(original));
    EXPECT_TRUE(read_file(output) == original);
}

}  // namespace
}  // namespace mendlet
