// The built program as a user meets it: started with part paths on its command line,
// joined with the J key sent to its window, and its exit code.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "lang/ini_lookup_win32.h"
#include "res/resource.h"
#include "settings/settings_file.h"
#include "support/program_win32.h"
#include "support/remote_window_win32.h"
#include "support/temp_folder_win32.h"
#include "scenarios/scenario_win32.h"

namespace mendlet {
namespace {

using test_support::becomes_true;
using test_support::RunningProgram;
using test_support::random_text;
using test_support::read_file;
using test_support::TempFolder;

// Waits for the listed parts, ticks "Exit" and presses J on the list: the program joins
// them and then closes by itself. Returns whether it exited with 0.
bool joined_and_closed(RunningProgram& program, LRESULT parts) {
    const HWND window = program.window();
    const HWND rows = GetDlgItem(window, IDC_PART_LIST);
    if (!becomes_true([&] { return SendMessageW(rows, LVM_GETITEMCOUNT, 0, 0) == parts; }, 10000)) return false;
    const HWND exit_box = GetDlgItem(window, IDC_EXIT_WHEN_DONE);
    SendMessageW(exit_box, BM_CLICK, 0, 0);
    if (SendMessageW(exit_box, BM_GETCHECK, 0, 0) != BST_CHECKED) return false;
    PostMessageW(rows, WM_KEYDOWN, 'J', 0);
    PostMessageW(rows, WM_KEYUP, 'J', 0);
    return program.exit_code_within(30000) == 0u;
}

TEST(Program, ShowsItsWindowAndExitsWithZeroWhenClosed) {
    TempFolder home;
    RunningProgram program(home);
    ASSERT_NE(program.window(), nullptr);
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exit_code_within(20000), 0u);
}

TEST(Program, ExitsWithZeroAtTheEndOfTheSession) {
    TempFolder home;
    RunningProgram program(home);
    ASSERT_NE(program.window(), nullptr);
    PostMessageW(program.window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(program.exit_code_within(20000), 0u);
}

// One first part on the command line brings its siblings, also one written before it.
TEST(Program, JoinsTheSetOfAFirstPartGivenOnItsCommandLine) {
    TempFolder folder;
    const std::string parts[] = {random_text(300000, 1), random_text(300000, 2), random_text(123457, 3)};
    folder.write(L"movie.avi.003", parts[2]);
    const std::wstring first = folder.write(L"movie.avi.001", parts[0]);
    folder.write(L"movie.avi.002", parts[1]);
    RunningProgram program(folder, L"\"" + first + L"\"");
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(joined_and_closed(program, 3));
    EXPECT_TRUE(read_file(folder.file(L"movie.avi")) == parts[0] + parts[1] + parts[2]);
}

// A folder dragged onto the program, or sent to it, is scanned as one dropped on its window:
// its parts alone, sorted, and the others counted.
TEST(Program, ListsThePartsOfAFolderGivenOnItsCommandLine) {
    TempFolder downloads(test_support::ExactPath{L"C:\\Users\\Anna\\Downloads\\Live recording"});
    TempFolder home;
    for (const wchar_t* name : {L"concert.mkv.002", L"concert.mkv.nfo", L"concert.mkv.001", L"concert.mkv.par2",
                                L"concert.mkv.sfv", L"Visit us.url"})
        downloads.write(name, "12");
    RunningProgram program(home, test_support::quoted(downloads.path()));
    const HWND window = program.window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(test_support::rows_become(window, 2));
    EXPECT_TRUE(test_support::text_becomes(window, IDC_STATUS, L"Files added: 2; 2 other files left out."));
    const HWND rows = GetDlgItem(window, IDC_PART_LIST);
    EXPECT_EQ(test_support::list_cell(rows, 0, 0), downloads.file(L"concert.mkv.001"));
    EXPECT_EQ(test_support::list_cell(rows, 1, 0), downloads.file(L"concert.mkv.002"));
    EXPECT_EQ(test_support::control_text(window, IDC_OUTPUT_PATH), downloads.file(L"concert.mkv"));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exit_code_within(20000), 0u);
}

// Two paths are taken as they are, without the rest of their set.
TEST(Program, JoinsTwoPathsGivenOnItsCommandLine) {
    TempFolder folder;
    const std::string parts[] = {random_text(200000, 4), random_text(99999, 5)};
    const std::wstring first = folder.write(L"a.bin.001", parts[0]);
    const std::wstring second = folder.write(L"a.bin.002", parts[1]);
    folder.write(L"a.bin.003", "not named");
    RunningProgram program(folder, L"\"" + first + L"\" " + second);
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(joined_and_closed(program, 2));
    EXPECT_TRUE(read_file(folder.file(L"a.bin")) == parts[0] + parts[1]);
}

// The shipped German comes up from the saved settings, which are written back at exit.
TEST(Program, StartsInTheSavedLanguageAndSavesItsSettingsAtExit) {
    TempFolder home;
    ASSERT_TRUE(CreateDirectoryW(home.file(L"lang").c_str(), nullptr));
    const std::wstring german = home.file(L"lang\\German.lng");
    ASSERT_TRUE(CopyFileW((test_support::built_languages_folder() + L"\\German.lng").c_str(), german.c_str(), TRUE));
    WindowState saved;
    saved.language_id = 1031;
    saved.crc32_enabled = true;
    const auto record = encode_settings_file(Settings{}, saved);
    home.write(L"mendlet", std::string(record.begin(), record.end()));

    RunningProgram program(home);
    ASSERT_NE(program.window(), nullptr);
    const HWND join = GetDlgItem(program.window(), IDC_JOIN);
    const std::wstring german_join = ini_file_lookup(german)(L"join_button", L"001");
    wchar_t text[64] = {};
    EXPECT_TRUE(becomes_true([&] { return GetWindowTextW(join, text, 64) > 0 && text == german_join; }, 10000));
    EXPECT_EQ(SendDlgItemMessageW(program.window(), IDC_CRC32_CHECK, BM_GETCHECK, 0, 0), BST_CHECKED);
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(program.exit_code_within(20000), 0u);
    const auto written = read_file(home.file(L"mendlet"));
    ASSERT_TRUE(written.has_value());
    ASSERT_EQ(written->size(), 39u);
    EXPECT_EQ(written->substr(32, 4), std::string("\x07\x04\0\0", 4));
    EXPECT_EQ(written->at(8), 1);  // CRC-32 still ticked
    EXPECT_EQ(read_file(home.file(L"strings")), std::string("\1\0\0\0\0\0", 6));
}

// A part whose reads never return, as from a share that stopped answering: exit, confirmed
// during the join, ends the program in bounded time all the same, with its settings saved.
// In append mode the first part, grown by the part before the stalled one, first gets its
// old size back.
TEST(Program, ExitDuringAReadThatNeverReturnsEndsTheProgram) {
    std::wstring stalled = test_support::built_program_path();
    stalled.replace(stalled.find_last_of(L'\\') + 1, std::wstring::npos, L"never-answering-part.002");
    // Held open for writing and never written to: the program's reads wait for ever.
    const HANDLE writer = CreateFileW(stalled.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (writer == INVALID_HANDLE_VALUE) GTEST_SKIP() << "the test session made no never-answering part";
    for (const bool append : {false, true}) {
        SCOPED_TRACE(append ? "append mode" : "normal mode");
        TempFolder home;
        const std::wstring first = home.write(L"x.bin.001", "the first part");
        const std::wstring second = home.write(L"y.bin.002", ", the second");
        RunningProgram program(home, test_support::quoted(first) + L" " + test_support::quoted(second) + L" " +
                                         test_support::quoted(stalled));
        const HWND window = program.window();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(test_support::rows_become(window, 3));
        if (append) {
            ASSERT_TRUE(test_support::set_check(window, IDC_APPEND_TO_FIRST, true));
        }

        test_support::click(window, IDC_JOIN);
        // The first two parts are written; then the join waits on the third.
        const std::wstring written = append ? first : home.file(L"x.bin.mendlet-unfinished");
        ASSERT_TRUE(becomes_true([&] { return read_file(written) == "the first part, the second"; },
                                 test_support::SCENARIO_WAIT_MS));
        PostMessageW(window, WM_CLOSE, 0, 0);
        const HWND question = test_support::wait_for_owned(window, L"Join operation is in progress!");
        ASSERT_NE(question, nullptr);
        ASSERT_TRUE(test_support::answer(question, IDYES));
        EXPECT_EQ(program.exit_code_within(test_support::SCENARIO_WAIT_MS), 0u);
        EXPECT_TRUE(read_file(home.file(L"mendlet")).has_value());
        // The worker never came back to take its unfinished file away, but the output's name
        // shows nothing unfinished; the first part is as it was.
        EXPECT_FALSE(read_file(home.file(L"x.bin")).has_value());
        EXPECT_TRUE(read_file(first) == std::string("the first part"));
    }
    CloseHandle(writer);
}

}  // namespace
}  // namespace mendlet
