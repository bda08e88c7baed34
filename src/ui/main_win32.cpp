#include <windows.h>

#include "ui/main_window_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return mendlet::run_application(instance); }
