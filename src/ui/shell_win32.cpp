#include "ui/shell_win32.h"

#include <shellapi.h>

namespace mendlet {

namespace {

// ShellExecuteW reports success with a value above 32.
bool started(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

}  // namespace

bool open_in_file_manager(HWND owner, const std::wstring& path) {
    // No quotes around the path: the file manager takes the rest of the string as it is.
    const std::wstring parameters = L"/n,/select," + path;
    return started(ShellExecuteW(owner, nullptr, L"explorer", parameters.c_str(), nullptr, SW_SHOWNORMAL));
}

bool open_with_associated_program(HWND owner, const std::wstring& path) {
    return started(ShellExecuteW(owner, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

void open_kept_address(HWND owner, const std::string& address) {
    ShellExecuteA(owner, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace mendlet
