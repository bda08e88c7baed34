// The built program as a user meets it: started with part paths on its command line,
// joined with the J key sent to its window, closed, and its exit code.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "res/resource.h"
#include "support/program_win32.h"
#include "support/temp_folder_win32.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::becomes_true;
using test_support::RunningProgram;
using test_support::TempFolder;

std::wstring text_of(HWND control) {
    wchar_t text[256] = {};
    SendMessageW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string file_bytes(const std::wstring& path) {
    std::string bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD length = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &length, nullptr) && length > 0) bytes.append(buffer, length);
    CloseHandle(file);
    return bytes;
}

std::string random_text(std::size_t size, std::uint64_t seed) {
    const auto bytes = test_support::random_bytes(size, seed);
    return std::string(bytes.begin(), bytes.end());
}

// Waits for the listed parts, presses J on the list and waits for the join's success
// message; then closes the program. Returns whether the program exited with 0.
bool joined_and_closed(RunningProgram& program, LRESULT parts) {
    const HWND window = program.window();
    const HWND rows = GetDlgItem(window, IDC_PART_LIST);
    if (!becomes_true([&] { return SendMessageW(rows, LVM_GETITEMCOUNT, 0, 0) == parts; }, 10000)) return false;
    PostMessageW(rows, WM_KEYDOWN, 'J', 0);
    PostMessageW(rows, WM_KEYUP, 'J', 0);
    const HWND status = GetDlgItem(window, IDC_STATUS);
    if (!becomes_true([&] { return text_of(status) == L"Files joined successfully!"; }, 20000)) return false;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return program.exit_code_within(20000) == 0u;
}

TEST(Program, ShowsItsWindowAndExitsWithZeroWhenClosed) {
    RunningProgram program;
    ASSERT_NE(program.window(), nullptr);
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exit_code_within(20000), 0u);
}

TEST(Program, ExitsWithZeroAtTheEndOfTheSession) {
    RunningProgram program;
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
    RunningProgram program(L"\"" + first + L"\"");
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(joined_and_closed(program, 3));
    EXPECT_TRUE(file_bytes(folder.file(L"movie.avi")) == parts[0] + parts[1] + parts[2]);
}

// Two paths are taken as they are, without the rest of their set.
TEST(Program, JoinsTwoPathsGivenOnItsCommandLine) {
    TempFolder folder;
    const std::string parts[] = {random_text(200000, 4), random_text(99999, 5)};
    const std::wstring first = folder.write(L"a.bin.001", parts[0]);
    const std::wstring second = folder.write(L"a.bin.002", parts[1]);
    folder.write(L"a.bin.003", "not named");
    RunningProgram program(L"\"" + first + L"\" " + second);
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(joined_and_closed(program, 2));
    EXPECT_TRUE(file_bytes(folder.file(L"a.bin")) == parts[0] + parts[1]);
}

}  // namespace
}  // namespace mendlet
