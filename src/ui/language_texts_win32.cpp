// Choosing a language: the text table is reloaded and every text on the window follows,
// the menu, the controls, the list's columns, the Join button and the status line.

#include <array>

#include "lang/language_files_win32.h"
#include "lang/text_names.h"
#include "res/resource.h"
#include "ui/application_win32.h"
#include "ui/menu_items_win32.h"
#include "ui/part_list_view_win32.h"

namespace mendlet {

namespace {

// Below this, a menu item is addressed by its place in the menu bar.
constexpr UINT MENU_BAR_POSITIONS = 100;

// The item of each menu text, in text order.
constexpr std::array<UINT, 12> MENU_ITEMS = {
    0, IDM_ALWAYS_ON_TOP, IDM_ASSOCIATE, IDM_DISABLE_HASH, IDM_REMOVE_ALL_AFTER_JOIN, IDM_SETTINGS,
    1, 2,                 IDM_ONLINE_HELP, IDM_WEBPAGE,    IDM_ABOUT,                 IDM_CHECK_UPDATE};

// The control of each controls text, in text order.
constexpr std::array<int, 14> TEXT_CONTROLS = {
    IDC_AUTO_SORT, IDC_ADD_FILES,  IDC_ADD_FOLDER,       IDC_REMOVE,           IDC_REMOVE_ALL,
    IDC_BROWSE,    IDC_APPEND_TO_FIRST, IDC_HASH_GROUP,  IDC_CLEAR_HASH,       IDC_WHEN_DONE_LABEL,
    IDC_OPEN_OUTPUT_FILE, IDC_OPEN_OUTPUT_FOLDER, IDC_DELETE_PARTS, IDC_EXIT_WHEN_DONE};

}  // namespace

void Application::select_language_by_command(UINT menu_id) {
    if (menu_id == MENU_ID_ENGLISH) {
        select_language(std::nullopt);
    } else if (const auto language = languages_.find_menu_id(menu_id)) {
        select_language(language);
    }
}

void Application::select_language(std::optional<std::size_t> language) {
    set_menu_checked(window_, languages_.current_menu_id(), false);
    languages_.set_current(language);
    if (const LanguageEntry* current = languages_.current())
        load_language(texts_, program_path_, *current);
    else
        reset_texts(texts_);
    apply_list_texts();
    apply_main_texts();
    set_menu_checked(window_, languages_.current_menu_id(), true);
}

void Application::apply_main_texts() {
    const HMENU menu = GetMenu(window_);
    for (std::size_t i = 0; i < MENU_ITEMS.size(); ++i)
        set_menu_item_text(menu, MENU_ITEMS[i], MENU_ITEMS[i] < MENU_BAR_POSITIONS, texts_.menu[i]);
    DrawMenuBar(window_);
    for (std::size_t i = 0; i < TEXT_CONTROLS.size(); ++i) SetDlgItemTextW(window_, TEXT_CONTROLS[i], texts_.controls[i]);
}

// The Join button shows Stop while the append box is locked, that is during a join; the
// status line says "Joining..." then, since "Ready" would tell the user that none runs.
void Application::apply_list_texts() {
    const HWND rows = list_view();
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT;
        header.pszText = const_cast<wchar_t*>(texts_.list_column[static_cast<std::size_t>(column)]);
        SendMessageW(rows, LVM_SETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
    }
    redraw_rows(rows, list_.count());
    const bool append_locked = !IsWindowEnabled(GetDlgItem(window_, IDC_APPEND_TO_FIRST));
    SetDlgItemTextW(window_, IDC_JOIN, texts_.join_button[append_locked ? 0 : 1]);
    status_.set_text_only(texts_.messages[flags_.join_running ? MSG_JOINING : MSG_READY]);
}

}  // namespace mendlet
