#include "support/shown_texts_win32.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include "res/resource.h"
#include "support/modal_dialog_win32.h"
#include "ui/application_win32.h"
#include "ui/window_text_win32.h"

namespace mendlet::test_support {

namespace {

KeyRole role_of(HWND control) {
    wchar_t kind[32] = {};
    GetClassNameW(control, kind, 32);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if (lstrcmpiW(kind, L"Button") == 0) return (style & BS_TYPEMASK) == BS_GROUPBOX ? KeyRole::label : KeyRole::command;
    if (lstrcmpiW(kind, L"Static") == 0) return (style & SS_NOPREFIX) != 0 ? KeyRole::none : KeyRole::label;
    return KeyRole::none;
}

// Controls are named by their place in the window, since several share the id -1.
void add_controls(HWND window, std::vector<ShownItem>& items) {
    int place = 0;
    for (HWND control = GetWindow(window, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT))
        items.push_back({L"control " + std::to_wstring(place++) + L" (" + std::to_wstring(GetDlgCtrlID(control)) + L")",
                         window_text(control), role_of(control)});
}

// Titles are named by their place in the menu bar, items by their command.
std::vector<ShownItem> menu_items(HMENU menu, bool titles) {
    std::vector<ShownItem> items;
    for (int place = 0; place < GetMenuItemCount(menu); ++place) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID;
        GetMenuItemInfoW(menu, static_cast<UINT>(place), TRUE, &info);
        if ((info.fType & MFT_SEPARATOR) != 0) continue;
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(place), text, 256, MF_BYPOSITION);
        items.push_back({titles ? L"title " + std::to_wstring(place) : L"item " + std::to_wstring(info.wID), text,
                         KeyRole::command});
    }
    return items;
}

Surface dialog_surface(HWND window, UINT command, int marking_control, const wchar_t* name) {
    Surface surface{name, {}};
    const bool shown = in_modal_dialog(window, command, marking_control, [&](HWND dialog) {
        surface.items.push_back({L"caption", window_text(dialog), KeyRole::none});
        add_controls(dialog, surface.items);
    });
    if (!shown) ADD_FAILURE() << "the " << name << " did not open";
    return surface;
}

}  // namespace

wchar_t access_key(const std::wstring& text) {
    for (std::size_t at = 0; at + 1 < text.size(); ++at) {
        if (text[at] != L'&') continue;
        // "&&" shows one ampersand.
        if (text[at + 1] == L'&') {
            ++at;
            continue;
        }
        wchar_t key = text[at + 1];
        CharUpperBuffW(&key, 1);
        return key;
    }
    return 0;
}

Surface main_window_surface(HWND window) {
    Surface surface{L"main window", menu_items(GetMenu(window), true)};
    add_controls(window, surface.items);
    const HWND list = GetDlgItem(window, IDC_PART_LIST);
    for (int column = 0; column < 3; ++column) {
        wchar_t text[64] = {};
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT;
        header.pszText = text;
        header.cchTextMax = 64;
        SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
        surface.items.push_back({L"column " + std::to_wstring(column), text, KeyRole::none});
    }
    return surface;
}

std::vector<Surface> shown_surfaces(Application& application) {
    const HWND window = application.window();
    std::vector<Surface> surfaces{main_window_surface(window)};
    const HMENU bar = GetMenu(window);
    for (int title = 0; title < GetMenuItemCount(bar); ++title)
        surfaces.push_back({L"menu " + std::to_wstring(title), menu_items(GetSubMenu(bar, title), false)});
    const HMENU list_menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU));
    application.prepare_list_menu(GetSubMenu(list_menu, 0));
    surfaces.push_back({L"list menu", menu_items(GetSubMenu(list_menu, 0), false)});
    DestroyMenu(list_menu);
    surfaces.push_back(dialog_surface(window, IDM_SETTINGS, IDC_TESTS_GROUP, L"settings dialog"));
    surfaces.push_back(dialog_surface(window, IDM_ABOUT, IDC_TRANSLATION_LABEL, L"About box"));
    return surfaces;
}

}  // namespace mendlet::test_support
