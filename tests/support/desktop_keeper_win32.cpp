// Keeps the test session's desktop in use from its start to its end. Wine closes a desktop
// that nobody uses for a moment, and the next test to show a window starts it again with
// that test's output pipe, which then stays open, and the test runner waits, until the
// desktop closes. Started with its output going nowhere, this keeps the first desktop.
// Once the desktop is there it creates the file named on its command line, so that the
// session starts no test before: the first test to show a window would start it otherwise.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR ready_file, int) {
    // Asking for the desktop window starts the desktop and waits until it runs.
    if (GetDesktopWindow() == nullptr) return 1;
    if (CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr) == nullptr)
        return 1;
    const HANDLE ready = CreateFileW(ready_file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
