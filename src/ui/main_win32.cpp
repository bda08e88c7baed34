#include <windows.h>

#include <string>

#include "core/long_path.h"
#include "ui/application_win32.h"

namespace {

// The system cuts the path to the room it is given and then fills all of it: a path that
// fills the room may have been cut, so the room grows until the path fits.
std::wstring program_path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        // A cut-off path would name files beside some other folder.
        if (path.size() > mendlet::LONGEST_PATH) return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    mendlet::Application application(instance, GetCommandLineW(), program_path());
    return application.run();
}
