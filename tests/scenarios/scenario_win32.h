#pragma once
// What the scenarios share: the built program's window worked from outside, as a user
// works it, and digests of the expected bytes computed by the system's own libraries, not
// by the program's code.

#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <string_view>

#include "support/program_win32.h"

namespace mendlet::test_support {

// Every wait of a scenario: long enough for a loaded machine, short enough to fail.
inline constexpr DWORD SCENARIO_WAIT_MS = 30000;

std::wstring control_text(HWND window, int control);
int row_count(HWND window);
bool checked(HWND window, int control);

// Clicks a button or check box, or chooses a menu command, and returns at once: what it
// starts (a job, a dialog) goes on in the program.
void click(HWND window, int control);
void choose_menu(HWND window, int command);
// Ticks or clears a check box and returns once the program has done so.
bool set_check(HWND window, int control, bool ticked);

// Shows the hash section and ticks both digests, as a user does before joining.
bool ask_for_both_digests(HWND window);

bool text_becomes(HWND window, int control, std::wstring_view text);
bool rows_become(HWND window, int rows);

// The message box or dialog of the window with the caption, once it shows; none after the
// scenario's wait.
HWND wait_for_owned(HWND window, const std::wstring& caption);
// Answers a message box with the button (IDYES, IDNO, ...) and waits until it is gone.
bool answer(HWND box, int button);

// Lower-case hex, as the program shows digests.
std::wstring reference_crc32(std::string_view bytes);
std::wstring reference_md5(std::string_view bytes);
// The system's digest of the bytes in that algorithm (CALG_SHA1, CALG_SHA_512, ...).
std::wstring reference_hash(std::string_view bytes, ALG_ID algorithm);

std::string random_text(std::size_t size, std::uint64_t seed);
std::wstring quoted(const std::wstring& path);

}  // namespace mendlet::test_support
