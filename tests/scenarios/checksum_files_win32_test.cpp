// Checksum files beside the parts, as a user meets them on the built program: a folder that
// holds a set with an SFV file and an MD5 file, dropped on the window, joins and is verified
// with the settings of a first start; a joined file that its MD5 file does not describe is kept and said to be
// damaged, and in append mode the first part gets its old size back; a damaged part is named
// and marked in its row, and nothing is left under the output's name; a part that the SFV
// file lists and the list lacks stops the join before it starts. What Windows tools write
// (PowerShell's UTF-16 list of SHA-512s) verifies a join too, and a file named after the
// output that says nothing is said to have been read in vain. Check parts names every
// damaged part at once. The digests in the files are the system's own, not the program's.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "res/resource.h"
#include "scenarios/scenario_win32.h"
#include "support/remote_window_win32.h"
#include "support/screenshot_win32.h"
#include "support/temp_folder_win32.h"

namespace mendlet {
namespace {

using namespace test_support;

std::string ascii(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The parts in a user's downloads, where the pictures show them.
struct Downloads {
    TempFolder folder;
    std::wstring names[3] = {L"holiday movie.avi.001", L"holiday movie.avi.002", L"holiday movie.avi.003"};
    std::string parts[3] = {random_text(1 << 20, 31), random_text(1 << 20, 32), random_text(77777, 33)};
    std::wstring output = folder.file(L"holiday movie.avi");

    explicit Downloads(const wchar_t* folder_name)
        : folder(ExactPath{L"C:\\Users\\Anna\\Downloads\\" + std::wstring(folder_name)}) {
        for (int i = 0; i < 3; ++i) folder.write(names[i], parts[i]);
        set_sfv_file("");
        set_md5_file(whole());
    }
    void set_sfv_file(const std::string& more_lines) {
        std::string sfv = "; holiday movie.avi\r\n";
        for (int i = 0; i < 3; ++i) sfv += ascii(names[i]) + " " + ascii(reference_crc32(parts[i])) + "\r\n";
        folder.write(L"holiday movie.avi.sfv", sfv + more_lines);
    }
    std::string whole() const { return parts[0] + parts[1] + parts[2]; }
    void set_md5_file(const std::string& described) {
        folder.write(L"holiday movie.avi.md5", ascii(reference_md5(described)) + " *holiday movie.avi\n");
    }
};

// Joins the set the program was started with (its first part on the command line), with
// both digests asked for or with a first start's settings, and waits for the status line to
// say how it went.
void join_and_expect(RunningProgram& program, const std::wstring& status, bool both_digests = true) {
    const HWND window = program.window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(rows_become(window, 3));
    if (both_digests) {
        ASSERT_TRUE(ask_for_both_digests(window));
    }
    click(window, IDC_JOIN);
    EXPECT_TRUE(text_becomes(window, IDC_STATUS, status)) << control_text(window, IDC_STATUS);
}

TEST(ChecksumScenario, AJoinIsCheckedAgainstTheChecksumFilesBesideItsParts) {
    Downloads downloads(L"Summer 2026");
    TempFolder home;
    const std::wstring first_part = quoted(downloads.folder.file(downloads.names[0]));
    {
        // The folder dropped on the window brings the parts and leaves the checksum files out.
        RunningProgram program(home);
        ASSERT_TRUE(drop_files(program.window(), {downloads.folder.path()}, POINT{60, 60}));
        join_and_expect(program, L"Files joined and verified with holiday movie.avi.sfv", false);
        save_screenshot(program.window(), L"checksum-1-verified");
        EXPECT_TRUE(read_file(downloads.output) == downloads.whole());
    }
    ASSERT_TRUE(DeleteFileW(downloads.output.c_str()));

    // The MD5 file describes some other file: this one is kept, and the list too. Appended
    // to the first part, the joined bytes go again.
    downloads.set_md5_file("some other file");
    {
        RunningProgram program(home, first_part);
        join_and_expect(program, L"MD5 does not match holiday movie.avi.md5! The joined file is damaged.");
        EXPECT_TRUE(read_file(downloads.output) == downloads.whole());
        EXPECT_EQ(control_text(program.window(), IDC_MD5_VALUE), reference_md5(downloads.whole()));
        EXPECT_EQ(row_count(program.window()), 3);
        ASSERT_TRUE(set_check(program.window(), IDC_APPEND_TO_FIRST, true));
        click(program.window(), IDC_JOIN);
        EXPECT_TRUE(text_becomes(program.window(), IDC_STATUS,
                                 L"MD5 does not match holiday movie.avi.md5! The first part is back as it was."));
        save_screenshot(program.window(), L"checksum-3-append-restored");
        EXPECT_TRUE(read_file(downloads.folder.file(downloads.names[0])) == downloads.parts[0]);
    }
    ASSERT_TRUE(DeleteFileW(downloads.output.c_str()));

    // The SFV file names a fourth part, not downloaded yet.
    downloads.set_sfv_file("holiday movie.avi.004 0badc0de\r\n");
    {
        RunningProgram program(home, first_part);
        join_and_expect(program,
                        L"holiday movie.avi.004 is listed in holiday movie.avi.sfv but not in the list! "
                        L"The join would be incomplete.");
        save_screenshot(program.window(), L"checksum-4-incomplete-set");
        EXPECT_FALSE(read_file(downloads.output).has_value());
    }
    downloads.set_sfv_file("");

    // One byte of the second part changed since the SFV file was made.
    downloads.set_md5_file(downloads.whole());
    std::string damaged = downloads.parts[1];
    damaged[12345] ^= 0x20;
    downloads.folder.write(downloads.names[1], damaged);
    RunningProgram program(home, first_part);
    join_and_expect(program, L"holiday movie.avi.002 does not match holiday movie.avi.sfv! Get this part again.");
    const HWND rows = GetDlgItem(program.window(), IDC_PART_LIST);
    EXPECT_EQ(list_cell(rows, 0, 2), L"ok");
    EXPECT_EQ(list_cell(rows, 1, 2), L"error");
    EXPECT_FALSE(read_file(downloads.output).has_value());
    save_screenshot(program.window(), L"checksum-2-damaged-part");
}

// Check parts, from the key K and the list's menu: it reads every part and writes nothing.
// Without a checksum file it says that all can be read; with an SFV file beside parts of
// which two were damaged on the way, it names both at once in their rows; once they are
// fetched again, all match, and a join then verifies the file on its own.
TEST(ChecksumScenario, CheckPartsNamesEveryDamagedPartAtOnce) {
    TempFolder folder(ExactPath{L"C:\\Users\\Anna\\Downloads\\Concert"});
    TempFolder home;
    std::wstring names[5];
    std::string parts[5];
    std::string sfv = "; concert.mkv\r\n";
    for (int i = 0; i < 5; ++i) {
        names[i] = L"concert.mkv.00" + std::to_wstring(i + 1);
        parts[i] = random_text(i < 4 ? 1 << 20 : 54321, 41 + i);
        sfv += ascii(names[i]) + " " + ascii(reference_crc32(parts[i])) + "\r\n";
        std::string written = parts[i];
        if (i == 1 || i == 3) written[1000 * i] ^= 0x01;
        folder.write(names[i], written);
    }
    RunningProgram program(home, quoted(folder.file(names[0])));
    const HWND window = program.window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(rows_become(window, 5));
    const HWND rows = GetDlgItem(window, IDC_PART_LIST);
    const auto statuses = [&] {
        std::wstring shown;
        for (int i = 0; i < 5; ++i) shown += list_cell(rows, i, 2) + L" ";
        return shown;
    };

    PostMessageW(rows, WM_KEYDOWN, 'K', 0);
    PostMessageW(rows, WM_KEYUP, 'K', 0);
    EXPECT_TRUE(text_becomes(window, IDC_STATUS, L"Parts checked: all 5 can be read; no checksum file lists them."))
        << control_text(window, IDC_STATUS);

    folder.write(L"concert.mkv.sfv", sfv);
    choose_menu(window, IDM_CHECK_PARTS);
    EXPECT_TRUE(
        text_becomes(window, IDC_STATUS, L"Parts checked: 2 of 5 do not match concert.mkv.sfv! Get them again."))
        << control_text(window, IDC_STATUS);
    EXPECT_EQ(statuses(), L"ok error ok error ok ");
    save_screenshot(window, L"check-1-two-damaged");
    EXPECT_FALSE(read_file(folder.file(L"concert.mkv")).has_value());

    folder.write(names[1], parts[1]);
    folder.write(names[3], parts[3]);
    choose_menu(window, IDM_CHECK_PARTS);
    EXPECT_TRUE(text_becomes(window, IDC_STATUS, L"Parts checked: all 5 match concert.mkv.sfv"))
        << control_text(window, IDC_STATUS);
    EXPECT_EQ(statuses(), L"ok ok ok ok ok ");
    save_screenshot(window, L"check-2-all-match");

    click(window, IDC_JOIN);
    EXPECT_TRUE(text_becomes(window, IDC_STATUS, L"Files joined and verified with concert.mkv.sfv"));
    EXPECT_TRUE(read_file(folder.file(L"concert.mkv")) == parts[0] + parts[1] + parts[2] + parts[3] + parts[4]);
}

// PowerShell 5's "Get-FileHash -Algorithm SHA512 x | Format-List > x.sha512": UTF-16, with
// the hash wrapped at the console's width.
std::wstring get_file_hash_list(const std::wstring& path, const std::wstring& hash) {
    return L"\r\nAlgorithm : SHA512\r\nHash      : " + hash.substr(0, 100) + L"\r\n            " + hash.substr(100) +
           L"\r\nPath      : " + path + L"\r\n\r\n\r\n";
}

TEST(ChecksumScenario, WhatWindowsToolsWriteVerifiesAndAFileSayingNothingIsNamed) {
    Downloads downloads(L"Holiday");
    TempFolder home;
    for (const wchar_t* name : {L"holiday movie.avi.sfv", L"holiday movie.avi.md5"})
        ASSERT_TRUE(DeleteFileW(downloads.folder.file(name).c_str()));
    std::wstring hash = reference_hash(downloads.whole(), CALG_SHA_512);
    CharUpperW(hash.data());
    const std::wstring list = get_file_hash_list(downloads.output, hash);
    std::string utf16 = "\xFF\xFE";
    utf16.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
    const std::wstring sha512_file = downloads.folder.write(L"holiday movie.avi.sha512", utf16);
    const std::wstring first_part = quoted(downloads.folder.file(downloads.names[0]));
    {
        RunningProgram program(home, first_part);
        join_and_expect(program, L"Files joined and verified with holiday movie.avi.sha512", false);
        EXPECT_TRUE(read_file(downloads.output) == downloads.whole());
    }
    ASSERT_TRUE(DeleteFileW(downloads.output.c_str()));

    // A download page's sidecar that holds no digest: the join passes, and says so.
    ASSERT_TRUE(DeleteFileW(sha512_file.c_str()));
    downloads.folder.write(L"holiday movie.avi.sha256", "See https://example.com/holiday for the checksum.\n");
    RunningProgram program(home, first_part);
    join_and_expect(program,
                    L"Files joined, but holiday movie.avi.sha256 could not be read: nothing was verified.", false);
    save_screenshot(program.window(), L"checksum-5-nothing-read");
    EXPECT_TRUE(read_file(downloads.output) == downloads.whole());
}

}  // namespace
}  // namespace mendlet
