// Join and Stop from the real main window, with the worker's requests carried out by the
// window's thread and the message boxes answered through the application's seam.

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <functional>
#include <memory>
#include <type_traits>
#include <string>
#include <vector>

#include "join/status_line.h"
#include "res/resource.h"
#include "support/program_win32.h"
#include "support/temp_folder_win32.h"
#include "ui/application_win32.h"

namespace mendlet {
namespace {

using test_support::TempFolder;

struct Box {
    std::wstring text;
    std::wstring caption;
    UINT style;
};

std::wstring control_text(HWND window, int control) {
    wchar_t text[512] = {};
    GetDlgItemTextW(window, control, text, 512);
    return text;
}

bool visible(HWND window, int control) { return IsWindowVisible(GetDlgItem(window, control)) != FALSE; }
bool enabled(HWND window, int control) { return IsWindowEnabled(GetDlgItem(window, control)) != FALSE; }

class JoinFromWindowTest : public ::testing::Test {
protected:
    JoinFromWindowTest() {
        application.message_box = [this](HWND, const wchar_t* text, const wchar_t* caption, UINT style) {
            boxes.push_back({text, caption, style});
            return answer ? answer(boxes.back()) : IDNO;
        };
        window = application.create_window();
    }

    void add_part(const std::wstring& name, const std::string& bytes) {
        application.list().add_part(NO_POSITION, false, folder.write(name, bytes), bytes.size(), STATUS_OK, false);
    }

    // Lists a.bin.001 "Mend" and a.bin.002 "let" and points the output box at a.bin, which
    // holds old_output first when given; returns the output path.
    std::wstring list_two_parts(const char* old_output = nullptr) {
        add_part(L"a.bin.001", "Mend");
        add_part(L"a.bin.002", "let");
        const std::wstring output = old_output != nullptr ? folder.write(L"a.bin", old_output) : folder.file(L"a.bin");
        SetDlgItemTextW(window, IDC_OUTPUT_PATH, output.c_str());
        return output;
    }

    void command(int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    // Carries out the window's messages until the job's thread has ended.
    bool job_ends() {
        return test_support::becomes_true_pumping([this] { return !application.join_thread().alive(); }, 20000);
    }

    void expect_idle() {
        EXPECT_EQ(control_text(window, IDC_JOIN), L"&Join");
        EXPECT_FALSE(visible(window, IDC_PROGRESS));
        EXPECT_TRUE(visible(window, IDC_OUTPUT_PATH));
        EXPECT_TRUE(visible(window, IDC_BROWSE));
        EXPECT_TRUE(enabled(window, IDC_APPEND_TO_FIRST));
        EXPECT_TRUE(enabled(window, IDC_EXIT_WHEN_DONE));
        EXPECT_FALSE(application.flags().join_running);
    }

    TempFolder folder;
    Application application{GetModuleHandleW(nullptr)};
    HWND window = nullptr;
    std::vector<Box> boxes;
    std::function<int(const Box&)> answer;
};

TEST_F(JoinFromWindowTest, JoinRefusesAnEmptyListAndASinglePart) {
    ASSERT_NE(window, nullptr);
    command(IDC_JOIN);
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[9]);
    EXPECT_EQ(application.status().status_colour(), COLOUR_ERROR);

    add_part(L"a.bin.001", "one");
    command(IDC_JOIN);
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[7]);
    EXPECT_FALSE(application.join_thread().holds_handle());
}

TEST_F(JoinFromWindowTest, JoinsWithDigestsAndEmptiesTheList) {
    ASSERT_NE(window, nullptr);
    const std::wstring output = list_two_parts();
    command(IDM_DISABLE_HASH);  // show the hash section
    CheckDlgButton(window, IDC_CRC32_CHECK, BST_CHECKED);
    command(IDC_CRC32_CHECK);
    EXPECT_TRUE(enabled(window, IDC_CRC32_VALUE));

    command(IDC_JOIN);
    ASSERT_TRUE(job_ends());
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[6]);
    EXPECT_EQ(application.status().status_colour(), COLOUR_INFO);
    EXPECT_EQ(control_text(window, IDC_CRC32_VALUE), L"7ce0e4d5");  // CRC-32 of "Mendlet", as zlib computes it
    EXPECT_EQ(control_text(window, IDC_MD5_VALUE), L"");
    EXPECT_TRUE(application.list().empty());
    EXPECT_EQ(control_text(window, IDC_OUTPUT_PATH), L"");
    EXPECT_TRUE(boxes.empty());
    expect_idle();
}

// "Exit" closes the application once a join whose word is good has ended; one whose
// checksum file could not be read stays on the screen to say so.
TEST_F(JoinFromWindowTest, ExitClosesTheWindowOnlyAfterAJoinWhoseWordIsGood) {
    ASSERT_NE(window, nullptr);
    application.settings().remove_all_after_join = false;
    const std::wstring output = list_two_parts();
    const std::wstring unreadable = folder.write(L"a.bin.sha256", "see the download page\n");
    CheckDlgButton(window, IDC_EXIT_WHEN_DONE, BST_CHECKED);
    command(IDC_JOIN);
    ASSERT_TRUE(job_ends());
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(control_text(window, IDC_STATUS),
              L"Files joined, but a.bin.sha256 could not be read: nothing was verified.");
    EXPECT_TRUE(application.status().status_persistent());

    ASSERT_TRUE(DeleteFileW(unreadable.c_str()));
    answer = [](const Box&) { return IDYES; };  // replace the first join's output
    command(IDC_JOIN);
    ASSERT_TRUE(job_ends());
    EXPECT_FALSE(IsWindow(window));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(output.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 7u);
    EXPECT_EQ(boxes.size(), 1u);
}

// What a check found stays on the status line until the next command, also where the list
// is emptied after a join.
TEST_F(JoinFromWindowTest, AVerifiedJoinStaysOnTheStatusLineWhenTheListEmpties) {
    ASSERT_NE(window, nullptr);
    application.settings().remove_all_after_join = true;
    list_two_parts();
    folder.write(L"a.bin.sfv", "a.bin.001 b787b55f\r\na.bin.002 f16ec191\r\n");  // "Mend", "let"
    command(IDC_JOIN);
    ASSERT_TRUE(job_ends());
    EXPECT_EQ(control_text(window, IDC_STATUS), L"Files joined and verified with a.bin.sfv");
    EXPECT_TRUE(application.status().status_persistent());
    EXPECT_TRUE(application.list().empty());
}

// The worker cannot set join_running before this thread has carried out its first request,
// so a second Join right after the first meets a job that is starting, not running.
TEST_F(JoinFromWindowTest, ASecondJoinWhileTheJobStartsNeitherStartsNorStopsOne) {
    ASSERT_NE(window, nullptr);
    const std::wstring output = list_two_parts();

    command(IDC_JOIN);
    EXPECT_FALSE(application.flags().join_running);
    command(IDC_JOIN);
    EXPECT_FALSE(application.flags().stop_requested);
    ASSERT_TRUE(job_ends());
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[6]);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(output.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 7u);
    EXPECT_TRUE(boxes.empty());  // a second job would have found the first one's output
}

// The overwrite question comes while the job runs: a moment to look at the busy window,
// and to press Stop and try a refused command.
TEST_F(JoinFromWindowTest, BusyWindowRefusesCommandsAndStops) {
    ASSERT_NE(window, nullptr);
    add_part(L"a.bin.001", std::string(200000, 'a'));
    add_part(L"a.bin.002", std::string(200000, 'b'));
    const std::wstring output = folder.write(L"a.bin", "old");
    SetDlgItemTextW(window, IDC_OUTPUT_PATH, output.c_str());
    answer = [&](const Box& box) {
        EXPECT_EQ(box.text, application.texts().messages[15]);
        EXPECT_EQ(control_text(window, IDC_JOIN), L"&Stop");
        EXPECT_TRUE(visible(window, IDC_PROGRESS));
        EXPECT_FALSE(visible(window, IDC_OUTPUT_PATH));
        EXPECT_FALSE(enabled(window, IDC_APPEND_TO_FIRST));
        EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[4]);
        command(IDC_MD5_CHECK);
        EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[5]);
        EXPECT_EQ(application.status().status_colour(), COLOUR_ERROR);
        command(IDC_JOIN);  // Stop
        return IDYES;
    };

    command(IDC_JOIN);
    ASSERT_TRUE(job_ends());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(application.flags().stop_requested);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(output.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 3u);  // stopped: the old output stays
    EXPECT_EQ(application.list().count(), 2u);
    expect_idle();
}

// Clear and "Remove all items from list after Join" are not refused during a job: the
// digests come after the Clear, and the job's end follows the item as it is then.
TEST_F(JoinFromWindowTest, ClearAndRemoveAllAfterJoinWorkDuringAJob) {
    ASSERT_NE(window, nullptr);
    list_two_parts("old");
    command(IDM_DISABLE_HASH);
    CheckDlgButton(window, IDC_CRC32_CHECK, BST_CHECKED);
    command(IDC_CRC32_CHECK);
    answer = [&](const Box&) {
        SetDlgItemTextW(window, IDC_CRC32_VALUE, L"12345678");
        SetDlgItemTextW(window, IDC_MD5_VALUE, L"left over");
        command(IDC_CLEAR_HASH);
        EXPECT_EQ(control_text(window, IDC_CRC32_VALUE), L"");
        EXPECT_EQ(control_text(window, IDC_MD5_VALUE), L"");
        command(IDM_REMOVE_ALL_AFTER_JOIN);
        EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[4]);
        return IDYES;
    };

    command(IDC_JOIN);
    ASSERT_TRUE(job_ends());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(application.settings().remove_all_after_join);
    EXPECT_EQ(control_text(window, IDC_CRC32_VALUE), L"7ce0e4d5");
    EXPECT_EQ(control_text(window, IDC_MD5_VALUE), L"");
    // The list stays, so the success message stays until something else is shown.
    EXPECT_EQ(application.list().count(), 2u);
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[6]);
    EXPECT_TRUE(application.status().status_persistent());
    for (int tick = 0; tick < 6; ++tick) SendMessageW(window, WM_TIMER, STATUS_TIMER_ID, 0);
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[6]);
    expect_idle();
}

// A log-off is refused while a job runs, and a real session end closes the idle window.
TEST_F(JoinFromWindowTest, SessionEndWaitsForTheJob) {
    ASSERT_NE(window, nullptr);
    list_two_parts("old");
    answer = [&](const Box&) {
        EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), FALSE);
        return IDYES;
    };
    command(IDC_JOIN);
    ASSERT_TRUE(job_ends());
    ASSERT_EQ(boxes.size(), 1u);

    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(window, WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(IsWindow(window));
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(JoinFromWindowTest, ClosingDuringAJobAsksAndNoKeepsItRunning) {
    ASSERT_NE(window, nullptr);
    list_two_parts("old");
    answer = [&](const Box& box) {
        if (box.text == application.texts().messages[15]) {
            SendMessageW(window, WM_CLOSE, 0, 0);
            EXPECT_TRUE(IsWindow(window));
        }
        return IDNO;
    };

    command(IDC_JOIN);
    ASSERT_TRUE(job_ends());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, application.texts().messages[2]);
    EXPECT_EQ(boxes[1].caption, application.texts().messages[5]);
    EXPECT_EQ(boxes[1].style, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONWARNING));
    EXPECT_FALSE(application.flags().stop_requested);
    expect_idle();
}

TEST_F(JoinFromWindowTest, ClosingDuringAJobWithYesEndsTheJobAndTheWindow) {
    ASSERT_NE(window, nullptr);
    list_two_parts("old");
    answer = [&](const Box& box) {
        if (box.text == application.texts().messages[15]) SendMessageW(window, WM_CLOSE, 0, 0);
        return IDYES;
    };

    command(IDC_JOIN);
    ASSERT_TRUE(job_ends());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(application.flags().stop_requested);
}

// From the moment Join or Check parts starts a job the window is busy, though the worker
// has not yet said so: a quick Remove All or second check is refused, and closing asks; Yes
// then stops the job before it asks or writes anything.
TEST_F(JoinFromWindowTest, TheWindowIsBusyFromJoinOnAndAClosedStartingJobWritesNothing) {
    ASSERT_NE(window, nullptr);
    list_two_parts();
    application.settings().remove_all_after_join = false;
    answer = [](const Box&) { return IDNO; };

    command(IDC_JOIN);
    command(IDC_REMOVE_ALL);
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[5]);
    EXPECT_EQ(application.list().count(), 2u);
    SendMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, application.texts().messages[2]);
    EXPECT_TRUE(IsWindow(window));
    ASSERT_TRUE(job_ends());
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[6]);

    command(IDM_CHECK_PARTS);
    command(IDM_CHECK_PARTS);
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[5]);
    SendMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, application.texts().messages[2]);
    ASSERT_TRUE(job_ends());
    EXPECT_EQ(control_text(window, IDC_STATUS), L"Parts checked: all 2 can be read; no checksum file lists them.");
    EXPECT_EQ(application.status().status_colour(), COLOUR_INFO);
    EXPECT_EQ(application.list().count(), 2u);

    answer = [](const Box&) { return IDYES; };
    const std::wstring second_output = folder.file(L"b.bin");
    SetDlgItemTextW(window, IDC_OUTPUT_PATH, second_output.c_str());
    command(IDC_JOIN);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    ASSERT_TRUE(job_ends());
    EXPECT_EQ(boxes.size(), 3u);  // the exit question alone
    EXPECT_EQ(GetFileAttributesW(second_output.c_str()), INVALID_FILE_ATTRIBUTES);
}

WNDPROC window_procedure = nullptr;
std::vector<std::wstring> seen_while_checking;

// At the check's first request after the window showed it busy, notes what the window shows
// and presses Stop.
LRESULT CALLBACK stop_the_check_once_busy(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == MSG_RUN_REQUEST && control_text(window, IDC_STATUS) == L"Checking parts...") {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window_procedure));
        seen_while_checking = {control_text(window, IDC_JOIN), control_text(window, IDC_MD5_VALUE),
                               visible(window, IDC_PROGRESS) ? L"progress" : L"no progress"};
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_JOIN, BN_CLICKED), 0);
    }
    return CallWindowProcW(window_procedure, window, message, wparam, lparam);
}

// A job that ends without a message of its own (stopped here) leaves the status line
// "Ready", not "Joining..." or "Checking parts...". A check, stopped by the Join button
// that reads Stop, keeps the digests the last join showed.
TEST_F(JoinFromWindowTest, TheIdleWindowNeverSaysJoiningOrChecking) {
    ASSERT_NE(window, nullptr);
    list_two_parts("old");
    answer = [&](const Box&) {
        EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[4]);
        command(IDC_JOIN);  // Stop
        return IDYES;
    };
    command(IDC_JOIN);
    ASSERT_TRUE(job_ends());
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[3]);
    EXPECT_EQ(application.status().status_colour(), COLOUR_NORMAL);

    SetDlgItemTextW(window, IDC_MD5_VALUE, L"d41d8cd98f00b204e9800998ecf8427e");
    window_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(stop_the_check_once_busy)));
    command(IDM_CHECK_PARTS);
    ASSERT_TRUE(job_ends());
    EXPECT_EQ(seen_while_checking,
              (std::vector<std::wstring>{L"&Stop", L"d41d8cd98f00b204e9800998ecf8427e", L"progress"}));
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[3]);
    expect_idle();
}

// Presses Join the moment the window has heard that a job ended, while its worker is still
// returning.
LRESULT CALLBACK join_again_as_the_job_ends(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const LRESULT result = CallWindowProcW(window_procedure, window, message, wparam, lparam);
    if (message == MSG_JOB_ENDED) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window_procedure));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_JOIN, BN_CLICKED), 0);
    }
    return result;
}

TEST_F(JoinFromWindowTest, AJoinPressedAsTheLastJobEndsStartsTheNext) {
    ASSERT_NE(window, nullptr);
    const std::wstring output = list_two_parts();
    application.settings().remove_all_after_join = false;
    window_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(join_again_as_the_job_ends)));

    command(IDC_JOIN);
    // The second job finds the first one's output and asks; No ends it.
    ASSERT_TRUE(test_support::becomes_true_pumping([&] { return !boxes.empty(); }, 20000));
    EXPECT_EQ(boxes[0].text, application.texts().messages[15]);
    ASSERT_TRUE(job_ends());
    EXPECT_EQ(control_text(window, IDC_STATUS), application.texts().messages[3]);
    EXPECT_EQ(application.status().status_colour(), COLOUR_NORMAL);  // not the first job's blue
    expect_idle();
}

// The shell's calls of "When done" are made on the worker's thread, with COM ready and
// outside any request to the window, in order: folder, file, then the parts deleted, then
// the list emptied.
TEST_F(JoinFromWindowTest, WhenDoneShellCallsRunOnTheWorkerWithComBeforeTheListEmpties) {
    ASSERT_NE(window, nullptr);
    const std::wstring output = list_two_parts();
    application.settings().use_recycle_bin = false;
    for (const int box : {IDC_OPEN_OUTPUT_FOLDER, IDC_OPEN_OUTPUT_FILE, IDC_DELETE_PARTS})
        CheckDlgButton(window, box, BST_CHECKED);
    const DWORD window_thread = GetCurrentThreadId();
    const std::wstring first_part = application.list().at(0)->path;
    std::vector<std::wstring> calls;
    const auto record = [&](const wchar_t* name, const std::wstring& path) {
        APTTYPE apartment{};
        APTTYPEQUALIFIER qualifier{};
        EXPECT_NE(GetCurrentThreadId(), window_thread) << name;
        EXPECT_FALSE(InSendMessage()) << name;
        EXPECT_EQ(CoGetApartmentType(&apartment, &qualifier), S_OK) << name;
        EXPECT_NE(GetFileAttributesW(first_part.c_str()), INVALID_FILE_ATTRIBUTES) << name;
        EXPECT_EQ(path, output);
        calls.push_back(name);
        return true;
    };
    application.show_in_file_manager = [&](HWND, const std::wstring& path) { return record(L"folder", path); };
    application.open_with_program = [&](HWND, const std::wstring& path) { return record(L"file", path); };

    command(IDC_JOIN);
    ASSERT_TRUE(job_ends());
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"folder", L"file"}));
    EXPECT_EQ(GetFileAttributesW(first_part.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(application.list().empty());
}

// A job of more than a few seconds that ends while another program's window is in front
// flashes the taskbar button; a shorter one, or one that ends under the user's eyes (the
// window or a box it owns in front), does not.
TEST_F(JoinFromWindowTest, ALongJobEndingBehindAnotherWindowFlashesTheTaskbarButton) {
    ASSERT_NE(window, nullptr);
    // The front window through the seam: tests that run beside this one bring windows of their
    // own to the front of the display they share.
    using Window = std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)>;
    const Window other(CreateWindowExW(0, L"STATIC", L"Another program", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                       nullptr, nullptr, nullptr),
                       DestroyWindow);
    const Window box(CreateWindowExW(0, L"STATIC", L"A box of Mendlet's", WS_POPUP | WS_CAPTION, 0, 0, 300, 200, window,
                                     nullptr, nullptr, nullptr),
                     DestroyWindow);
    ASSERT_TRUE(other && box);
    HWND front = nullptr;
    application.foreground_window = [&] { return front; };
    // Each reading of the clock comes one job's length after the one before.
    ULONGLONG now = 0;
    ULONGLONG job_ms = 0;
    application.tick_count = [&] { return now += job_ms; };
    std::vector<FLASHWINFO> flashes;
    application.flash_window = [&](FLASHWINFO& flash) { flashes.push_back(flash); };
    answer = [](const Box&) { return IDYES; };  // the overwrite question of the joins after the first
    application.settings().remove_all_after_join = false;
    list_two_parts();
    struct Row {
        int command;
        ULONGLONG job_ms;
        HWND front;
        bool flashes;
    };
    const Row rows[] = {{IDC_JOIN, 5001, other.get(), true},
                        {IDM_CHECK_PARTS, 5001, nullptr, true},
                        {IDC_JOIN, 5000, other.get(), false},
                        {IDM_CHECK_PARTS, 60000, window, false},
                        {IDC_JOIN, 60000, box.get(), false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "command " << row.command << ", " << row.job_ms << " ms");
        job_ms = row.job_ms;
        front = row.front;
        flashes.clear();
        command(row.command);
        ASSERT_TRUE(job_ends());
        ASSERT_EQ(flashes.size(), row.flashes ? 1u : 0u);
        if (row.flashes) {
            EXPECT_TRUE(flashes[0].cbSize == sizeof(FLASHWINFO) && flashes[0].hwnd == window &&
                        flashes[0].dwFlags == (FLASHW_TRAY | FLASHW_TIMERNOFG));
        }
    }
}

}  // namespace
}  // namespace mendlet
