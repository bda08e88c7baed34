#pragma once
// Small operations on menu items, by command identifier unless said otherwise.

#include <windows.h>

namespace mendlet {

inline bool menu_checked(HWND window, UINT item) {
    return (GetMenuState(GetMenu(window), item, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

inline void set_menu_checked(HWND window, UINT item, bool checked) {
    CheckMenuItem(GetMenu(window), item, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// Changes only the text; by_position addresses the item by its place in the menu.
inline void set_menu_item_text(HMENU menu, UINT item, bool by_position, const wchar_t* text) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text);
    SetMenuItemInfoW(menu, item, by_position, &info);
}

}  // namespace mendlet
