#include "support/program_win32.h"

#include <shellapi.h>

#include <chrono>
#include <cstdio>

namespace mendlet::test_support {

namespace {

struct FoundWindow {
    DWORD process;
    HWND window;
};

BOOL CALLBACK find_process_window(HWND window, LPARAM context) {
    auto* found = reinterpret_cast<FoundWindow*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t caption[16] = {};
    GetWindowTextW(window, caption, 16);
    if (process == found->process && IsWindowVisible(window) && std::wstring(caption) == L"Mendlet") {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring beside_the_tests(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    program.replace(program.find_last_of(L'\\') + 1, std::wstring::npos, name);
    return program;
}

}  // namespace

std::wstring built_program_path() { return beside_the_tests(L"mendlet.exe"); }

std::wstring built_languages_folder() { return beside_the_tests(L"lang"); }

bool becomes_true(const std::function<bool()>& condition, DWORD milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        Sleep(20);
    }
    return true;
}

bool becomes_true_pumping(const std::function<bool()>& condition, DWORD milliseconds) {
    const auto pump = [] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    pump();
    return true;
}

RunningProgram::RunningProgram(const TempFolder& home, const std::wstring& arguments) {
    const std::wstring program = home.file(L"mendlet.exe");
    if (!CopyFileW(built_program_path().c_str(), program.c_str(), TRUE))
        std::fprintf(stderr, "the program could not be copied: error %lu\n", GetLastError());
    start(program, arguments);
}

RunningProgram::RunningProgram(const InPlace& program) { start(program.path, {}); }

// A start under a full test run once failed at once, with no window to wait for: the error
// is printed, and the start tried again for a few seconds.
void RunningProgram::start(const std::wstring& program, const std::wstring& arguments) {
    std::wstring command_line = L"\"" + program + L"\"";
    if (!arguments.empty()) command_line += L" " + arguments;
    const bool started = becomes_true(
        [&] {
            STARTUPINFOW startup{};
            startup.cb = sizeof(startup);
            std::wstring writable = command_line;
            if (CreateProcessW(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process_))
                return true;
            std::fprintf(stderr, "the program did not start: error %lu\n", GetLastError());
            return false;
        },
        5000);
    if (started) find_window();
}

RunningProgram::RunningProgram(const OpenedFile& file) {
    SHELLEXECUTEINFOW opening{};
    opening.cbSize = sizeof(opening);
    opening.fMask = SEE_MASK_NOCLOSEPROCESS;
    opening.lpFile = file.path.c_str();
    opening.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&opening) || opening.hProcess == nullptr) return;
    process_.hProcess = opening.hProcess;
    process_.dwProcessId = GetProcessId(opening.hProcess);
    find_window();
}

void RunningProgram::find_window() {
    FoundWindow found{process_.dwProcessId, nullptr};
    becomes_true(
        [&] {
            EnumWindows(find_process_window, reinterpret_cast<LPARAM>(&found));
            return found.window != nullptr;
        },
        20000);
    window_ = found.window;
}

RunningProgram::~RunningProgram() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    if (process_.hThread != nullptr) CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

std::optional<DWORD> RunningProgram::exit_code_within(DWORD milliseconds) {
    if (process_.hProcess == nullptr || WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD exit_code = 1;
    GetExitCodeProcess(process_.hProcess, &exit_code);
    return exit_code;
}

}  // namespace mendlet::test_support
