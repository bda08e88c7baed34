#include "ui/shell_win32.h"

#include <shellapi.h>

namespace mendlet {

namespace {

// The join's worker calls these and ends right after; without SEE_MASK_NOASYNC the shell may
// still be handing the request on when the thread goes, and nothing opens.
bool shell_open(HWND owner, const wchar_t* file, const wchar_t* parameters) {
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_NOASYNC;
    request.hwnd = owner;
    request.lpFile = file;
    request.lpParameters = parameters;
    request.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&request) != FALSE;
}

}  // namespace

bool open_in_file_manager(HWND owner, const std::wstring& path) {
    // No quotes around the path: the file manager takes the rest of the string as it is.
    const std::wstring parameters = L"/n,/select," + path;
    return shell_open(owner, L"explorer", parameters.c_str());
}

bool open_with_associated_program(HWND owner, const std::wstring& path) {
    return shell_open(owner, path.c_str(), nullptr);
}

void open_kept_address(HWND owner, const std::string& address) {
    ShellExecuteA(owner, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace mendlet
