#include <windows.h>

#include <string>

#include "ui/application_win32.h"

namespace {

// Long enough for any path the settings and language files may be found beside.
constexpr DWORD PROGRAM_PATH_UNITS = 1024;

std::wstring program_path() {
    std::wstring path(PROGRAM_PATH_UNITS, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), PROGRAM_PATH_UNITS);
    // A cut-off path would name files beside some other folder.
    path.resize(length < PROGRAM_PATH_UNITS ? length : 0);
    return path;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    mendlet::Application application(instance, GetCommandLineW(), program_path());
    return application.run();
}
