#include "ui/main_window_win32.h"

#include <commctrl.h>

#include "lang/text_table.h"
#include "res/resource.h"

namespace mendlet {

namespace {

HICON main_icon = nullptr;

HICON load_shared_icon(HINSTANCE instance, int id) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

void set_button_icon(HWND window, int control, HINSTANCE instance, int icon) {
    SendDlgItemMessageW(window, control, BM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(load_shared_icon(instance, icon)));
}

void initialise_main_window(HWND window) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    set_button_icon(window, IDC_SORT, instance, IDI_SORT);
    set_button_icon(window, IDC_MOVE_UP, instance, IDI_ARROW_UP);
    set_button_icon(window, IDC_MOVE_DOWN, instance, IDI_ARROW_DOWN);
    main_icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(main_icon));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(main_icon));
}

INT_PTR CALLBACK main_dialog_proc(HWND window, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            initialise_main_window(window);
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(window);
            return TRUE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

HWND create_main_window(HINSTANCE instance) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                                          ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, main_dialog_proc, 0);
}

int run_application(HINSTANCE instance) {
    HWND window = create_main_window(instance);
    if (window == nullptr) {
        const TextTable texts;
        MessageBoxW(nullptr, texts.messages[0], L"Mendlet", MB_ICONERROR | MB_TOPMOST);
        return 0;
    }
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (main_icon != nullptr) DestroyIcon(main_icon);
    return 0;
}

}  // namespace mendlet
