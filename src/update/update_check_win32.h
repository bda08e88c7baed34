#pragma once
// Asking the update server whether a newer version exists, and offering its download page.

#include <windows.h>

#include <array>
#include <functional>
#include <string>

namespace mendlet {

// The answer's file in the user's temporary folder, one for every check.
inline constexpr wchar_t UPDATE_ANSWER_FILE_NAME[] = L"tessvane-mendlet-update.tmp";

// The server the program asks unless told otherwise: a build setting.
std::wstring built_in_update_server();

// Everything a check uses, its own copy: a check on a thread of its own may outlive the
// window that started it.
struct UpdateCheck {
    std::wstring server;
    // The main window: the owner of the boxes of an interactive check, and of the browser.
    HWND window = nullptr;
    // An interactive check always ends with one box; a silent one shows only an offer.
    bool interactive = false;
    // The updater texts: the offer, "up to date" and the failure.
    std::array<std::wstring, 3> texts;
    std::function<int(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)> message_box;
    // Opens the download page with the shell's default handler.
    std::function<void(HWND owner, const std::wstring& address)> open_address;
};

void check_for_update(const UpdateCheck& check);

// Runs the check on a new thread that nobody waits for; false when none could be started.
bool start_update_check_thread(UpdateCheck check);

}  // namespace mendlet
