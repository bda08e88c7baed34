#include <windows.h>

#include "ui/application_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    mendlet::Application application(instance, GetCommandLineW());
    return application.run();
}
