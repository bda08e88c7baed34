#pragma once
// The built program, copied into a folder of its own (so that its settings files are its
// own) and started from there as a user starts it, or a program started where it lies, with
// its main window found; it is ended when the test ends, if it has not ended by itself.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "support/temp_folder_win32.h"

namespace mendlet::test_support {

class RunningProgram {
public:
    // Arguments follow the quoted program path on the command line. The program is copied
    // into home unless it is there already.
    explicit RunningProgram(const TempFolder& home, const std::wstring& arguments = {});
    // The program a file is associated with, started by the shell as the file is opened.
    struct OpenedFile {
        std::wstring path;
    };
    explicit RunningProgram(const OpenedFile& file);
    // A program started where it lies, as a user starts it from the folder they unpacked.
    struct InPlace {
        std::wstring path;
    };
    explicit RunningProgram(const InPlace& program);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // The main window once it shows; none when the program did not start or show it.
    HWND window() const { return window_; }
    // The exit code once the program has ended, waiting at most the time given.
    std::optional<DWORD> exit_code_within(DWORD milliseconds);

private:
    void start(const std::wstring& program, const std::wstring& arguments);
    void find_window();

    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// The built program and its "lang" folder, where the tests run from.
std::wstring built_program_path();
std::wstring built_languages_folder();

// Whether the condition holds within the time, asked every few milliseconds.
bool becomes_true(const std::function<bool()>& condition, DWORD milliseconds);

// The same, carrying out this thread's messages meanwhile, as a worker's requests to the
// window need; the messages left when it holds are carried out too.
bool becomes_true_pumping(const std::function<bool()>& condition, DWORD milliseconds);

}  // namespace mendlet::test_support
