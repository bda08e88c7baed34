#pragma once
// The built program, started as a user starts it from the folder of the tests, with its
// main window found; it is ended when the test ends, if it has not ended by itself.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace mendlet::test_support {

class RunningProgram {
public:
    // Arguments follow the quoted program path on the command line.
    explicit RunningProgram(const std::wstring& arguments = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // The main window once it shows; none when the program did not start or show it.
    HWND window() const { return window_; }
    // The exit code once the program has ended, waiting at most the time given.
    std::optional<DWORD> exit_code_within(DWORD milliseconds);

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// Whether the condition holds within the time, asked every few milliseconds.
bool becomes_true(const std::function<bool()>& condition, DWORD milliseconds);

}  // namespace mendlet::test_support
