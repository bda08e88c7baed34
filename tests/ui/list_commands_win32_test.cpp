// The list commands on the real main window: rows, selection, output path and statuses.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/part_paths.h"
#include "support/program_win32.h"
#include "support/remote_window_win32.h"
#include "support/screenshot_win32.h"
#include "ui/application_win32.h"

namespace mendlet {
namespace {

using test_support::paths_of;

// Whether the list shows now what a repaint of all of it would show.
bool shows_what_a_repaint_shows(HWND control) {
    const std::vector<COLORREF> shown = test_support::painted(control);
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
    return shown == test_support::painted(control);
}

class ListCommandsTest : public ::testing::Test {
protected:
    ListCommandsTest() {
        application.key_held = [this](int key) { return held.count(key) != 0; };
        window = application.create_window();
        rows = GetDlgItem(window, IDC_PART_LIST);
    }

    // Lists C:\In\movie.avi.NNN for each number, in the order given, each of 100 bytes.
    void fill(std::initializer_list<int> numbers) {
        for (const int number : numbers) {
            wchar_t path[64];
            swprintf(path, 64, L"C:\\In\\movie.avi.%03d", number);
            application.list().add_part(NO_POSITION, false, path, 100, STATUS_OK, false);
        }
        application.refresh_list();
    }

    std::vector<std::wstring> expected(std::initializer_list<int> numbers) const {
        std::vector<std::wstring> paths;
        for (const int number : numbers) {
            wchar_t path[64];
            swprintf(path, 64, L"C:\\In\\movie.avi.%03d", number);
            paths.emplace_back(path);
        }
        return paths;
    }

    void select(std::initializer_list<int> selected) {
        LVITEMW none{};
        none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(rows, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
        for (const int row : selected) {
            LVITEMW item{};
            item.stateMask = LVIS_SELECTED;
            item.state = LVIS_SELECTED;
            SendMessageW(rows, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        }
    }

    std::vector<int> selected_rows() const {
        std::vector<int> found;
        for (int row = -1; (row = static_cast<int>(SendMessageW(rows, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;)
            found.push_back(row);
        return found;
    }

    std::wstring cell(int row, int column) const { return test_support::list_cell(rows, row, column); }

    std::wstring output_box() const {
        wchar_t text[512] = {};
        GetDlgItemTextW(window, IDC_OUTPUT_PATH, text, 512);
        return text;
    }

    std::wstring status_text() const {
        wchar_t text[512] = {};
        GetDlgItemTextW(window, IDC_STATUS, text, 512);
        return text;
    }

    void command(int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    bool key(WPARAM virtual_key, HWND target = nullptr) {
        MSG message{target != nullptr ? target : rows, WM_KEYDOWN, virtual_key, 0, 0, {}};
        return application.take_shortcut(message);
    }

    Application application{GetModuleHandleW(nullptr)};
    HWND window = nullptr;
    HWND rows = nullptr;
    std::set<int> held;
};

TEST_F(ListCommandsTest, RowsShowTheEntriesAndTheOutputPathFollowsTheFirst) {
    fill({1, 2, 3});
    EXPECT_EQ(SendMessageW(rows, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(cell(0, 0), L"C:\\In\\movie.avi.001");
    EXPECT_EQ(cell(1, 1), L"100  B");
    EXPECT_EQ(cell(2, 2), L"ok");
    EXPECT_EQ(output_box(), L"C:\\In\\movie.avi");
    wchar_t header[32] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = header;
    column.cchTextMax = 32;
    SendMessageW(rows, LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(std::wstring(header), L"Status");
}

// The rows are painted once the statuses of the new list are known, not before.
TEST_F(ListCommandsTest, RefreshPaintsTheStatusesOfTheNewList) {
    fill({1, 2});
    application.list().add_part(NO_POSITION, false, L"C:\\In\\movie.avi.004", 100, STATUS_OK, false);
    application.refresh_list();
    EXPECT_EQ(cell(2, 2), L"warning");
    EXPECT_TRUE(shows_what_a_repaint_shows(rows));
}

// Scrolled down a long list, the rows in sight show the new list after a refresh.
TEST_F(ListCommandsTest, RefreshPaintsTheRowsInSightOfAScrolledList) {
    std::initializer_list<int> numbers = {2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                          15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27,
                                          28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40};
    fill(numbers);
    SendMessageW(rows, LVM_ENSUREVISIBLE, 38, FALSE);
    ASSERT_GT(SendMessageW(rows, LVM_GETTOPINDEX, 0, 0), 0);
    ASSERT_EQ(cell(37, 2), L"ok");
    // A smaller first part makes every other part a warning, and moves every row down.
    application.list().add_part(0, false, L"C:\\In\\movie.avi.001", 50, STATUS_OK, false);
    application.refresh_list();
    EXPECT_EQ(cell(38, 2), L"warning");
    EXPECT_TRUE(shows_what_a_repaint_shows(rows));
}

// Removing the last part makes a smaller part before it the last one, which is fine.
TEST_F(ListCommandsTest, RemovePaintsTheStatusesOfWhatIsLeft) {
    for (const auto* path : {L"C:\\In\\a.001", L"C:\\In\\a.002", L"C:\\In\\a.003"})
        application.list().add_part(NO_POSITION, false, path, path[10] == L'1' ? 100 : 50, STATUS_OK, false);
    application.refresh_list();
    ASSERT_EQ(cell(1, 2), L"warning");
    select({2});
    command(IDC_REMOVE);
    UpdateWindow(rows);
    EXPECT_EQ(cell(1, 2), L"ok");
    EXPECT_TRUE(shows_what_a_repaint_shows(rows));
}

TEST_F(ListCommandsTest, MoveUpMovesABlockAndRotatesOneAtTheTop) {
    fill({1, 2, 3, 4, 5});
    command(IDC_MOVE_UP);
    EXPECT_EQ(status_text(), application.texts().messages[8]);

    select({2, 3});
    command(IDC_MOVE_UP);
    EXPECT_EQ(paths_of(application.list()), expected({1, 3, 4, 2, 5}));
    EXPECT_EQ(selected_rows(), (std::vector<int>{1, 2}));
    EXPECT_EQ(output_box(), L"C:\\In\\movie.avi");

    select({0, 1, 2});
    EXPECT_TRUE(key(VK_ADD));
    EXPECT_EQ(paths_of(application.list()), expected({3, 4, 1, 2, 5}));
    // A different first part: its name gives the output path, and the statuses follow.
    EXPECT_EQ(output_box(), L"C:\\In\\movie.avi");
    EXPECT_EQ(cell(0, 0), L"C:\\In\\movie.avi.003");
}

TEST_F(ListCommandsTest, MoveDownMovesABlockAndRotatesOneAtTheBottom) {
    fill({1, 2, 3, 4});
    select({0, 1});
    command(IDC_MOVE_DOWN);
    EXPECT_EQ(paths_of(application.list()), expected({3, 1, 2, 4}));
    EXPECT_EQ(selected_rows(), (std::vector<int>{1, 2}));

    select({2, 3});
    EXPECT_TRUE(key(VK_SUBTRACT));
    EXPECT_EQ(paths_of(application.list()), expected({3, 1, 4, 2}));
}

TEST_F(ListCommandsTest, RemoveTakesExactlyTheSelectedRows) {
    fill({1, 2, 3, 4, 5});
    select({0, 2, 3});
    command(IDC_REMOVE);
    EXPECT_EQ(paths_of(application.list()), expected({2, 5}));
    EXPECT_EQ(SendMessageW(rows, LVM_GETITEMCOUNT, 0, 0), 2);
    // movie.avi.002 is not a first part: the list marks it, and the path still follows it.
    EXPECT_EQ(output_box(), L"C:\\In\\movie.avi");

    select({1});
    EXPECT_TRUE(key(VK_DELETE));
    EXPECT_EQ(paths_of(application.list()), expected({2}));
    held = {VK_SHIFT};
    EXPECT_TRUE(key(VK_DELETE));
    EXPECT_TRUE(application.list().empty());
    EXPECT_EQ(output_box(), L"");
}

TEST_F(ListCommandsTest, SortAndAutoOrderByOrdinal) {
    CheckDlgButton(window, IDC_AUTO_SORT, BST_UNCHECKED);
    command(IDC_AUTO_SORT);
    fill({3, 1, 2});
    EXPECT_EQ(paths_of(application.list()), expected({3, 1, 2}));
    select({1});
    EXPECT_TRUE(key('S'));
    EXPECT_EQ(paths_of(application.list()), expected({1, 2, 3}));
    EXPECT_TRUE(selected_rows().empty());

    application.list().swap_parts(0, 2);
    CheckDlgButton(window, IDC_AUTO_SORT, BST_CHECKED);
    command(IDC_AUTO_SORT);
    EXPECT_EQ(paths_of(application.list()), expected({1, 2, 3}));
}

TEST_F(ListCommandsTest, ShortcutsAreKeysOfTheWindowNotOfTheOutputBox) {
    fill({1, 2});
    select({0});
    EXPECT_FALSE(key('S', GetDlgItem(window, IDC_OUTPUT_PATH)));
    EXPECT_FALSE(key(VK_DELETE, GetDlgItem(window, IDC_OUTPUT_PATH)));
    EXPECT_EQ(application.list().count(), 2u);

    EXPECT_TRUE(key('A'));  // taken, but without Ctrl it does nothing
    EXPECT_EQ(selected_rows(), (std::vector<int>{0}));
    held = {VK_CONTROL};
    EXPECT_TRUE(key('A'));
    EXPECT_EQ(selected_rows(), (std::vector<int>{0, 1}));
    EXPECT_FALSE(key('Q'));
}

TEST_F(ListCommandsTest, ListCommandsAreRefusedDuringAJoin) {
    fill({2, 1});
    select({1});
    SendMessageW(window, MSG_JOB_STARTED, 0, 0);  // as the worker does
    application.open_file_name = application.save_file_name = [](OPENFILENAMEW&) {
        ADD_FAILURE() << "a file dialog opened during a join";
        return false;
    };
    application.browse_for_folder = [](BROWSEINFOW&) -> PIDLIST_ABSOLUTE {
        ADD_FAILURE() << "the folder browser opened during a join";
        return nullptr;
    };
    for (const int id : {IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_REMOVE, IDM_REMOVE, IDC_REMOVE_ALL, IDM_REMOVE_ALL, IDC_SORT,
                         IDC_BROWSE, IDC_APPEND_TO_FIRST, IDC_CRC32_CHECK, IDC_MD5_CHECK, IDC_ADD_FILES, IDC_ADD_FOLDER,
                         IDM_IMPORT_LIST, IDM_CHECK_PARTS}) {
        SetDlgItemTextW(window, IDC_STATUS, L"");
        command(id);
        EXPECT_EQ(status_text(), application.texts().messages[5]) << id;
    }
    EXPECT_EQ(paths_of(application.list()), expected({2, 1}));
    SendMessageW(window, MSG_JOB_ENDED, 0, 0);
}

TEST_F(ListCommandsTest, AppendShowsTheFirstPartAndLocksTheBox) {
    fill({1, 2});
    CheckDlgButton(window, IDC_APPEND_TO_FIRST, BST_CHECKED);
    command(IDC_APPEND_TO_FIRST);
    EXPECT_EQ(output_box(), L"C:\\In\\movie.avi.001");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_OUTPUT_PATH)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_BROWSE)));

    CheckDlgButton(window, IDC_APPEND_TO_FIRST, BST_UNCHECKED);
    command(IDC_APPEND_TO_FIRST);
    EXPECT_EQ(output_box(), L"C:\\In\\movie.avi");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_OUTPUT_PATH)));
}

bool item_enabled(HMENU menu, UINT item) { return (GetMenuState(menu, item, MF_BYCOMMAND) & MF_GRAYED) == 0; }

TEST_F(ListCommandsTest, ContextMenuEnablesWhatTheListAllows) {
    const HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU));
    ASSERT_NE(menu, nullptr);
    const HMENU popup = GetSubMenu(menu, 0);
    const UINT items[] = {IDM_OPEN_FILE_LOCATION, IDM_IMPORT_LIST, IDM_EXPORT_LIST, IDM_REMOVE, IDM_REMOVE_ALL,
                          IDM_CHECK_PARTS};
    const auto enabled_items = [&] {
        std::vector<bool> enabled;
        for (const UINT item : items) enabled.push_back(item_enabled(popup, item));
        return enabled;
    };

    application.prepare_list_menu(popup);
    EXPECT_EQ(enabled_items(), (std::vector<bool>{false, true, false, false, false, false}));
    wchar_t text[64] = {};
    GetMenuStringW(popup, IDM_OPEN_FILE_LOCATION, text, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(text), application.texts().menu_popup[0]);
    GetMenuStringW(popup, IDM_CHECK_PARTS, text, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(text), L"&Check parts\tK");

    fill({1, 2});
    application.prepare_list_menu(popup);
    EXPECT_EQ(enabled_items(), (std::vector<bool>{false, true, true, false, true, true}));

    LVITEMW focus{};
    focus.stateMask = LVIS_FOCUSED;
    focus.state = LVIS_FOCUSED;
    SendMessageW(rows, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focus));
    application.prepare_list_menu(popup);
    EXPECT_EQ(enabled_items(), (std::vector<bool>{true, true, true, true, true, true}));
    DestroyMenu(menu);
}

// The one tooltip window of this thread.
HWND tooltip_window() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND candidate, LPARAM context) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(candidate, name, 64);
            if (lstrcmpiW(name, TOOLTIPS_CLASSW) != 0) return TRUE;
            *reinterpret_cast<HWND*>(context) = candidate;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST_F(ListCommandsTest, ControlTipsTakeTheirTextsFromTheTable) {
    const HWND tooltip = tooltip_window();
    ASSERT_NE(tooltip, nullptr);
    const auto tip_for = [&](HWND control) -> std::wstring {
        NMTTDISPINFOW request{};
        request.hdr.hwndFrom = tooltip;
        request.hdr.idFrom = reinterpret_cast<UINT_PTR>(control);
        request.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
        return request.lpszText != nullptr ? request.lpszText : L"(none)";
    };
    EXPECT_EQ(tip_for(GetDlgItem(window, IDC_JOIN)), application.texts().tooltips[5]);
    EXPECT_EQ(tip_for(GetDlgItem(window, IDC_OPEN_OUTPUT_FOLDER)), application.texts().tooltips[21]);
    EXPECT_EQ(tip_for(GetDlgItem(window, IDC_HASH_GROUP)), L"(none)");
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(rows);
    EXPECT_TRUE(SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 23);
}

TEST_F(ListCommandsTest, HoverTipDescribesTheRowUnderTheMouse) {
    fill({1, 2, 3});
    const HWND tooltip = tooltip_window();
    ASSERT_NE(tooltip, nullptr);
    const auto tip_text = [&] {
        wchar_t text[512] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(rows);
        tool.lpszText = text;
        SendMessageW(tooltip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
        return std::wstring(text);
    };
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendMessageW(rows, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    const LPARAM on_row = MAKELPARAM(row.left + 20, (row.top + row.bottom) / 2);
    SendMessageW(rows, WM_MOUSEMOVE, 0, on_row);
    SendMessageW(rows, WM_MOUSEHOVER, 0, on_row);
    EXPECT_EQ(tip_text(), *part_tooltip_text(application.list(), application.texts(), 1));

    RECT client;
    GetClientRect(rows, &client);
    SendMessageW(rows, WM_MOUSEMOVE, 0, MAKELPARAM(row.left + 20, client.bottom - 3));
    EXPECT_EQ(tip_text(), application.texts().list_tooltip[0]);
}

// The status line's tip shows when the mouse really rests on it; the mouse is moved by the
// system, and the window is put on top of any other test's window first.
TEST_F(ListCommandsTest, TheStatusLineShowsItsTipUnderTheMouse) {
    const HWND tooltip = tooltip_window();
    ASSERT_NE(tooltip, nullptr);
    const HWND status = GetDlgItem(window, IDC_STATUS);
    RECT place;
    GetWindowRect(status, &place);
    const POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    const auto current_tool = [&] {
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        return SendMessageW(tooltip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) ? tool.uId : 0;
    };
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetCursorPos(place.left - 20, place.top - 20);
    SetCursorPos(middle.x, middle.y);
    EXPECT_TRUE(test_support::becomes_true_pumping(
        [&] {
            // Another test's window may have come over this one: on top again, and the mouse
            // moved onto the status line anew.
            if (WindowFromPoint(middle) != status) {
                SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
                SetCursorPos(place.left - 20, place.top - 20);
                SetCursorPos(middle.x, middle.y);
            }
            return IsWindowVisible(tooltip) && current_tool() == reinterpret_cast<UINT_PTR>(status);
        },
        10000));
    SetCursorPos(0, 0);
}

RECT menu_place{};

// Notes where the list's context menu opened, then closes it.
void CALLBACK close_the_menu(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu)) return;
    KillTimer(nullptr, timer);
    GetWindowRect(menu, &menu_place);
    EndMenu();
}

// From the keyboard the menu comes without a place: it opens under the focused row, which
// is scrolled into sight first, not in the corner of the screen.
TEST_F(ListCommandsTest, TheKeyboardsContextMenuOpensAtTheFocusedRow) {
    fill({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25});
    LVITEMW focus{};
    focus.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    focus.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(rows, LVM_SETITEMSTATE, 22, reinterpret_cast<LPARAM>(&focus));
    menu_place = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, close_the_menu);
    SendMessageW(rows, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(rows), -1);
    KillTimer(nullptr, timer);

    RECT row{};
    row.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageW(rows, LVM_GETITEMRECT, 22, reinterpret_cast<LPARAM>(&row)));
    RECT client;
    GetClientRect(rows, &client);
    EXPECT_GE(row.top, client.top);
    EXPECT_LE(row.bottom, client.bottom);
    POINT under_row{row.left, row.bottom};
    ClientToScreen(rows, &under_row);
    EXPECT_EQ(menu_place.left, under_row.x);
    EXPECT_EQ(menu_place.top, under_row.y);
}

TEST_F(ListCommandsTest, BrowseOffersTheFirstPartsNameAndTakesTheChosenPath) {
    fill({1, 2});
    OPENFILENAMEW shown{};
    std::wstring offered;
    application.save_file_name = [&](OPENFILENAMEW& dialog) {
        shown = dialog;
        offered = dialog.lpstrFile;
        lstrcpynW(dialog.lpstrFile, L"D:\\Out\\film.avi", static_cast<int>(dialog.nMaxFile));
        return true;
    };
    command(IDC_BROWSE);
    EXPECT_EQ(offered, L"movie.avi");
    EXPECT_EQ(shown.hwndOwner, window);
    EXPECT_EQ(std::wstring(shown.lpstrFilter), L"All (*.*)");
    EXPECT_EQ(std::wstring(shown.lpstrFilter + 10), L"*.*");
    EXPECT_EQ(shown.nMaxFile, 32768u);
    EXPECT_EQ(shown.Flags, static_cast<DWORD>(OFN_PATHMUSTEXIST));
    EXPECT_EQ(output_box(), L"D:\\Out\\film.avi");

    application.save_file_name = [](OPENFILENAMEW&) { return false; };  // cancelled
    EXPECT_TRUE(key('B'));
    EXPECT_EQ(output_box(), L"D:\\Out\\film.avi");
}

}  // namespace
}  // namespace mendlet
