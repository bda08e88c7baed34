// The main window at the system's display scale. display_scaling_test.sh runs this in a Wine
// prefix of its own once at each of 96, 120, 144 and 192 pixels per inch and names the scale
// it set in MENDLET_EXPECTED_DPI; without that there is nothing to compare with, and the test
// skips.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/screenshot_win32.h"
#include "ui/application_win32.h"

namespace mendlet {
namespace {

using test_support::save_screenshot;

RECT place_of(HWND window, HWND control) {
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

RECT place_of(HWND window, int control) { return place_of(window, GetDlgItem(window, control)); }

RECT frame_of(HWND window) {
    RECT frame;
    GetWindowRect(window, &frame);
    return frame;
}

bool same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

bool is_group_box(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, L"Button") == 0 && (GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

std::vector<HWND> controls_of(HWND window) {
    std::vector<HWND> controls;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    return controls;
}

std::vector<RECT> places_of(HWND window) {
    std::vector<RECT> places;
    for (const HWND control : controls_of(window)) places.push_back(place_of(window, control));
    return places;
}

// What a user would see as a broken layout: a control cut off by the window's edge, or two
// controls over each other, where a group box may only hold controls wholly inside it.
void expect_clean_layout(HWND window, const char* state) {
    RECT client;
    GetClientRect(window, &client);
    std::vector<HWND> shown;
    for (const HWND control : controls_of(window))
        if (IsWindowVisible(control)) shown.push_back(control);
    for (const HWND control : shown) {
        const RECT place = place_of(window, control);
        RECT inside;
        IntersectRect(&inside, &place, &client);
        EXPECT_TRUE(same(inside, place)) << state << ": control " << GetDlgCtrlID(control) << " leaves the window";
    }
    for (std::size_t a = 0; a < shown.size(); ++a) {
        for (std::size_t b = a + 1; b < shown.size(); ++b) {
            const RECT first = place_of(window, shown[a]);
            const RECT second = place_of(window, shown[b]);
            RECT common;
            if (!IntersectRect(&common, &first, &second)) continue;
            const bool held =
                (is_group_box(shown[a]) && same(common, second)) || (is_group_box(shown[b]) && same(common, first));
            EXPECT_TRUE(held) << state << ": controls " << GetDlgCtrlID(shown[a]) << " and " << GetDlgCtrlID(shown[b])
                              << " overlap";
        }
    }
}

int font_height(HWND window, HFONT font) {
    const HDC screen = GetDC(window);
    const HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(window, screen);
    return metrics.tmHeight;
}

SIZE icon_size(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) return {0, 0};
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    // A monochrome icon's mask holds the AND and the XOR image one above the other.
    return {bitmap.bmWidth, info.hbmColor != nullptr ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

// Whether the icon resource holds an image drawn at this size, rather than one the system
// would stretch to it.
bool drawn_at(int icon, int size) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(icon), RT_GROUP_ICON);
    if (group == nullptr) return false;
    const auto directory = static_cast<PBYTE>(LockResource(LoadResource(module, group)));
    const int image = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(image), RT_ICON);
    if (found == nullptr) return false;
    const auto header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
    return header->biWidth == size && header->biHeight == 2 * size;
}

// The scale display_scaling_test.sh set, or 0 anywhere else.
int expected_dpi() {
    wchar_t value[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"MENDLET_EXPECTED_DPI", value, 16);
    return length > 0 && length < 16 ? static_cast<int>(std::wcstol(value, nullptr, 10)) : 0;
}

UINT dpi_of(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    const auto dpi_for_window = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
    return dpi_for_window != nullptr ? dpi_for_window(window) : 0;
}

// The rows below the hash section take its place when it hides: no empty band where it was,
// no band at the bottom, nothing over anything else, and two toggles put every control and
// the window back where they were. Icons are drawn at the sizes the system asks for, and the
// status line's letters keep to the dialog's own as the scale grows.
TEST(DisplayScaling, TheMainWindowKeepsItsLayoutIconsAndStatusFontAtTheSystemScale) {
    const int dpi = expected_dpi();
    if (dpi == 0) GTEST_SKIP() << "win.display_scaling runs this at 96, 120, 144 and 192 dpi";
    Application application(GetModuleHandleW(nullptr));
    const HWND window = application.create_window();
    ASSERT_NE(window, nullptr);
    const HDC screen = GetDC(window);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi);
    ReleaseDC(window, screen);
    if (const UINT window_dpi = dpi_of(window); window_dpi != 0) {
        EXPECT_EQ(window_dpi, static_cast<UINT>(dpi));
    }
    // Pictures for people to look at, at 150 %.
    const auto keep_picture = [&](const wchar_t* name) {
        if (dpi == 144) {
            EXPECT_TRUE(save_screenshot(window, name, L"display-scaling"));
        }
    };

    // Starts hidden.
    ASSERT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_HASH_GROUP)));
    const RECT hidden_frame = frame_of(window);
    const std::vector<RECT> hidden_places = places_of(window);
    RECT client;
    GetClientRect(window, &client);
    const int hidden_gap = place_of(window, IDC_STATUS).top - place_of(window, IDC_APPEND_TO_FIRST).bottom;
    const int hidden_margin = client.bottom - place_of(window, IDC_WHEN_DONE_GROUP).bottom;
    expect_clean_layout(window, "hidden");
    keep_picture(L"main-window-144-dpi-hash-hidden");

    SendMessageW(window, WM_COMMAND, IDM_DISABLE_HASH, 0);
    ASSERT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_HASH_GROUP)));
    GetClientRect(window, &client);
    const int shown_gap = place_of(window, IDC_HASH_GROUP).top - place_of(window, IDC_APPEND_TO_FIRST).bottom;
    const int shown_margin = client.bottom - place_of(window, IDC_WHEN_DONE_GROUP).bottom;
    const int shift = place_of(window, IDC_STATUS).top - place_of(window, IDC_HASH_GROUP).top;
    expect_clean_layout(window, "shown");
    EXPECT_NEAR(hidden_gap, shown_gap, 2) << "an empty band or an overlap where the hash section was";
    EXPECT_NEAR(hidden_margin, shown_margin, 2) << "an empty band or cut-off controls at the bottom";
    keep_picture(L"main-window-144-dpi-hash-shown");

    SendMessageW(window, WM_COMMAND, IDM_DISABLE_HASH, 0);
    EXPECT_TRUE(same(frame_of(window), hidden_frame));
    const std::vector<RECT> again = places_of(window);
    ASSERT_EQ(again.size(), hidden_places.size());
    for (std::size_t at = 0; at < again.size(); ++at) EXPECT_TRUE(same(again[at], hidden_places[at])) << at;

    const int big = GetSystemMetrics(SM_CXICON);
    const int small = GetSystemMetrics(SM_CXSMICON);
    const SIZE big_icon = icon_size(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)));
    const SIZE small_icon = icon_size(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)));
    EXPECT_EQ(big_icon.cx, big);
    EXPECT_EQ(big_icon.cy, GetSystemMetrics(SM_CYICON));
    EXPECT_EQ(small_icon.cx, small);
    EXPECT_EQ(small_icon.cy, GetSystemMetrics(SM_CYSMICON));
    EXPECT_TRUE(drawn_at(IDI_MAIN, big)) << big;
    EXPECT_TRUE(drawn_at(IDI_MAIN, small)) << small;
    for (const auto& [button, icon] :
         {std::pair{IDC_SORT, IDI_SORT}, {IDC_MOVE_UP, IDI_ARROW_UP}, {IDC_MOVE_DOWN, IDI_ARROW_DOWN}}) {
        const SIZE image =
            icon_size(reinterpret_cast<HICON>(SendDlgItemMessageW(window, button, BM_GETIMAGE, IMAGE_ICON, 0)));
        EXPECT_EQ(image.cx, big) << button;
        EXPECT_TRUE(drawn_at(icon, big)) << icon;
        const RECT face = place_of(window, button);
        EXPECT_LT(image.cx, face.right - face.left) << button;
        EXPECT_LT(image.cy, face.bottom - face.top) << button;
    }

    // About twice as tall as the dialog's letters at every scale, and within the status line:
    // a height fixed in pixels would fall to one and a half times at 144 dpi.
    const int status_font =
        font_height(window, reinterpret_cast<HFONT>(SendDlgItemMessageW(window, IDC_STATUS, WM_GETFONT, 0, 0)));
    const int dialog_font = font_height(window, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    EXPECT_NEAR(static_cast<double>(status_font) / dialog_font, 2.15, 0.3);
    const RECT status = place_of(window, IDC_STATUS);
    EXPECT_LT(status_font, status.bottom - status.top);
    // The list's Size and Status columns hold their longest texts, and the three fill the
    // list without a horizontal scroll bar.
    const HWND rows = GetDlgItem(window, IDC_PART_LIST);
    const auto column_width = [&](int column) { return static_cast<int>(SendMessageW(rows, LVM_GETCOLUMNWIDTH, column, 0)); };
    const auto text_width = [&](const wchar_t* text) {
        return static_cast<int>(SendMessageW(rows, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
    };
    EXPECT_GT(column_width(1), text_width(L"1023  KB") + text_width(L"  "));
    EXPECT_GT(column_width(2), text_width(L"warning") + text_width(L"  "));
    RECT list_client;
    GetClientRect(rows, &list_client);
    EXPECT_LE(column_width(0) + column_width(1) + column_width(2) + GetSystemMetrics(SM_CXVSCROLL), list_client.right);
    std::printf(
        "%d dpi: rows move by %d, gap above the status line %d hidden and %d shown, bottom margin %d and %d, "
        "status font %d px (dialog font %d px), icons %d and %d, window %ld x %ld hidden\n",
        dpi, shift, hidden_gap, shown_gap, hidden_margin, shown_margin, status_font, dialog_font, big, small,
        hidden_frame.right - hidden_frame.left, hidden_frame.bottom - hidden_frame.top);
    DestroyWindow(window);
}

}  // namespace
}  // namespace mendlet
