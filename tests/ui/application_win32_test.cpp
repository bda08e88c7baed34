#include "ui/application_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "join/status_line.h"
#include "res/resource.h"
#include "support/modal_dialog_win32.h"
#include "support/screenshot_win32.h"
#include "ui/web_addresses.h"

namespace mendlet {
namespace {

// Takes messages from the queue until the quit message arrives or the time is up.
bool quit_arrives_within(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < milliseconds) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return true;
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return false;
}

TEST(MainWindow, CreatedWithIconsAndClosesWithQuit) {
    Application application(GetModuleHandleW(nullptr));
    HWND window = application.create_window();
    ASSERT_NE(window, nullptr);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    for (int button : {IDC_SORT, IDC_MOVE_UP, IDC_MOVE_DOWN})
        EXPECT_NE(SendDlgItemMessageW(window, button, BM_GETIMAGE, IMAGE_ICON, 0), 0) << button;
    EXPECT_EQ(GetFocus(), GetDlgItem(window, IDC_PART_LIST));
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(quit_arrives_within(5000));
}

RECT client_place(HWND window, int control) {
    RECT place;
    GetWindowRect(GetDlgItem(window, control), &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

int height(HWND window) {
    RECT frame;
    GetWindowRect(window, &frame);
    return frame.bottom - frame.top;
}

bool menu_checked(HWND window, UINT item) {
    return (GetMenuState(GetMenu(window), item, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// Starts with the hash section hidden and the status line in its place; showing it makes the
// window taller by as much as it moves the rows below down, and hiding it again puts
// everything back where it was.
TEST(MainWindow, HashSectionAndAlwaysOnTopToggleBack) {
    Application application(GetModuleHandleW(nullptr));
    HWND window = application.create_window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(menu_checked(window, IDM_DISABLE_HASH));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_HASH_GROUP)));
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_AUTO_SORT), BST_CHECKED);
    const int hidden_height = height(window);
    const RECT status = client_place(window, IDC_STATUS);
    const RECT exit_box = client_place(window, IDC_EXIT_WHEN_DONE);

    SendMessageW(window, WM_COMMAND, IDM_DISABLE_HASH, 0);
    EXPECT_FALSE(menu_checked(window, IDM_DISABLE_HASH));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_CRC32_VALUE)));
    EXPECT_EQ(client_place(window, IDC_HASH_GROUP).top, status.top);
    const int moved = client_place(window, IDC_STATUS).top - status.top;
    EXPECT_GT(moved, 0);
    EXPECT_EQ(height(window), hidden_height + moved);
    EXPECT_EQ(client_place(window, IDC_EXIT_WHEN_DONE).top, exit_box.top + moved);
    EXPECT_EQ(client_place(window, IDC_EXIT_WHEN_DONE).left, exit_box.left);

    SendMessageW(window, WM_COMMAND, IDM_DISABLE_HASH, 0);
    EXPECT_EQ(height(window), hidden_height);
    EXPECT_EQ(client_place(window, IDC_STATUS).top, status.top);
    EXPECT_EQ(client_place(window, IDC_EXIT_WHEN_DONE).top, exit_box.top);

    // Under Wine 8 a window that owns a topmost tooltip does not get the topmost style
    // itself, so only the check mark can be watched here.
    SendMessageW(window, WM_COMMAND, IDM_ALWAYS_ON_TOP, 0);
    EXPECT_TRUE(menu_checked(window, IDM_ALWAYS_ON_TOP));
    SendMessageW(window, WM_COMMAND, IDM_ALWAYS_ON_TOP, 0);
    EXPECT_FALSE(menu_checked(window, IDM_ALWAYS_ON_TOP));
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    DestroyWindow(window);
}

// Tab runs through the window as it is laid out, top to bottom and left to right, from the
// list; and the list, empty, shows that it has the focus.
TEST(MainWindow, TabFollowsTheLayoutAndTheListShowsItsFocus) {
    Application application(GetModuleHandleW(nullptr));
    HWND window = application.create_window();
    ASSERT_NE(window, nullptr);
    // Every control that takes the focus: the hash section shown, both digest boxes in use.
    SendMessageW(window, WM_COMMAND, IDM_DISABLE_HASH, 0);
    for (const int box : {IDC_CRC32_CHECK, IDC_MD5_CHECK}) {
        CheckDlgButton(window, box, BST_CHECKED);
        SendMessageW(window, WM_COMMAND, box, 0);
    }
    const HWND list = GetDlgItem(window, IDC_PART_LIST);
    std::vector<int> order;
    HWND control = list;
    do {
        order.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(window, control, FALSE);
    } while (control != list && order.size() < 40);
    EXPECT_EQ(order, (std::vector<int>{IDC_PART_LIST, IDC_ADD_FILES, IDC_ADD_FOLDER, IDC_REMOVE, IDC_REMOVE_ALL, IDC_SORT,
                                       IDC_AUTO_SORT, IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_OUTPUT_PATH, IDC_BROWSE,
                                       IDC_APPEND_TO_FIRST, IDC_CRC32_CHECK, IDC_CRC32_VALUE, IDC_MD5_CHECK,
                                       IDC_MD5_VALUE, IDC_CLEAR_HASH, IDC_JOIN, IDC_OPEN_OUTPUT_FILE,
                                       IDC_OPEN_OUTPUT_FOLDER, IDC_DELETE_PARTS, IDC_EXIT_WHEN_DONE}));

    SetFocus(GetDlgItem(window, IDC_ADD_FILES));
    UpdateWindow(list);
    const std::vector<COLORREF> without_focus = test_support::painted(list);
    SetFocus(list);
    UpdateWindow(list);
    EXPECT_NE(test_support::painted(list), without_focus);
    DestroyWindow(window);
}

// How many pixels of the control show the colour, once it has painted.
int pixels_of_colour(HWND control, COLORREF colour) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<COLORREF> pixels = test_support::painted(control);
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour));
}

// The message shows in its colour and falls back on the fifth tick; one too long for a line
// in the large font is still all there, in smaller letters on two lines.
TEST(MainWindow, StatusLineFallsBackOnTheTimerAndPaintsInItsColour) {
    Application application(GetModuleHandleW(nullptr));
    HWND window = application.create_window();
    ASSERT_NE(window, nullptr);
    const HWND status = GetDlgItem(window, IDC_STATUS);
    const auto text = [&] {
        wchar_t buffer[128] = {};
        GetWindowTextW(status, buffer, 128);
        return std::wstring(buffer);
    };

    application.status().show_status(L"Files added: 3", COLOUR_INFO, true);
    EXPECT_EQ(text(), L"Files added: 3");
    EXPECT_GT(pixels_of_colour(status, COLOUR_INFO), 0);

    for (int tick = 0; tick < 4; ++tick) SendMessageW(window, WM_TIMER, STATUS_TIMER_ID, 0);
    EXPECT_EQ(text(), L"Files added: 3");
    SendMessageW(window, WM_TIMER, STATUS_TIMER_ID, 0);
    EXPECT_EQ(text(), application.texts().messages[3]);
    EXPECT_EQ(application.status().status_colour(), COLOUR_NORMAL);
    EXPECT_EQ(pixels_of_colour(status, COLOUR_INFO), 0);

    // The same message's last word, drawn alone at the end of a long one, shows: it is not
    // cut off at the edge.
    const std::wstring long_message(L"holiday movie.avi.002 does not match holiday movie.avi.sfv! Get this part again.");
    application.status().show_status(long_message, COLOUR_ERROR, false);
    const int all = pixels_of_colour(status, COLOUR_ERROR);
    application.status().show_status(long_message.substr(0, long_message.rfind(L' ')), COLOUR_ERROR, false);
    EXPECT_GT(all, pixels_of_colour(status, COLOUR_ERROR));
    DestroyWindow(window);
}

// The shell announces the taskbar button with a registered message; the window takes the
// taskbar's progress interface then, and only once.
TEST(MainWindow, TakesTheTaskbarInterfaceWhenItsButtonExists) {
    Application application(GetModuleHandleW(nullptr));
    HWND window = application.create_window();
    ASSERT_NE(window, nullptr);
    const UINT button_created = RegisterWindowMessageW(L"TaskbarButtonCreated");
    ASSERT_NE(button_created, 0u);

    SendMessageW(window, button_created, 0, 0);
    ITaskbarList3* const taskbar = application.taskbar();
    ASSERT_NE(taskbar, nullptr);
    SendMessageW(window, button_created, 0, 0);
    EXPECT_EQ(application.taskbar(), taskbar);
    EXPECT_EQ(taskbar->SetProgressState(window, TBPF_INDETERMINATE), S_OK);
    DestroyWindow(window);
}

// A link opens once for a click and once for a double click, which sends a click first.
TEST(MainWindow, AboutBoxLinksOpenOncePerClick) {
    Application application(GetModuleHandleW(nullptr));
    std::vector<std::string> opened;
    application.open_own_address = [&](HWND, const std::string& address) { opened.push_back(address); };
    HWND window = application.create_window();
    ASSERT_NE(window, nullptr);
    const auto press = [](HWND link, UINT message) { SendMessageW(link, message, MK_LBUTTON, MAKELPARAM(2, 2)); };
    EXPECT_TRUE(test_support::in_modal_dialog(window, IDM_ABOUT, IDC_WEB_LINK, [&](HWND about) {
        const HWND web = GetDlgItem(about, IDC_WEB_LINK);
        for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) press(web, message);
        const HWND contact = GetDlgItem(about, IDC_CONTACT_LINK);
        for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP}) press(contact, message);
    }));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], WEB_PAGE_ADDRESS.unscrambled());
    EXPECT_EQ(opened[1], CONTACT_ADDRESS.unscrambled());
    DestroyWindow(window);
}

}  // namespace
}  // namespace mendlet
