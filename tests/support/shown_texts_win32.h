#pragma once
// The texts the program shows, read as a user meets them: each menu, the main window with
// its menu bar, the settings dialog and the About box, item by item, with what an '&' in
// each item's text does there.

#include <windows.h>

#include <string>
#include <vector>

namespace mendlet {
class Application;
}

namespace mendlet::test_support {

// What Alt and the letter after a single '&' reach. Command: a button, check box or menu
// item, which it presses; label: a static text or group box, which it passes on to the next
// control; none: the text is shown as it is (edit boxes, the list, texts marked so).
enum class KeyRole { none, label, command };

struct ShownItem {
    // Where the item is: "title 1", "item 40016", "control 5 (1005)", "column 2", "caption".
    std::wstring place;
    std::wstring text;
    KeyRole role;
};

// A menu or window, within which each access key reaches one item.
struct Surface {
    std::wstring name;
    std::vector<ShownItem> items;
};

// The letter a text's access key is, in capitals as the system compares them; 0 for none.
wchar_t access_key(const std::wstring& text);

// The main window's controls and list columns, with its menu bar's titles: the dialog
// manager looks for an Alt key among the controls before the menu bar sees it.
Surface main_window_surface(HWND window);

// Everything the application shows now: the main window with its menu bar, each of its
// menus, the list's context menu as it is about to open, the settings dialog and the About
// box, each dialog opened by its menu command and closed again.
std::vector<Surface> shown_surfaces(Application& application);

}  // namespace mendlet::test_support
