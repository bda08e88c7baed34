// Keeps the test session's desktop in use from its start to its end. Wine closes a desktop
// that nobody uses for a moment, and the next test to show a window starts it again with
// that test's output pipe, which then stays open, and the test runner waits, until the
// desktop closes. Started with its output going nowhere, this keeps the first desktop.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr) == nullptr)
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
