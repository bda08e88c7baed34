// The tooltips of the main window and the list view's own handling of the mouse: the hover
// tip that describes the row under the mouse, and the context menu.

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <windowsx.h>

#include <array>
#include <utility>

#include "res/resource.h"
#include "ui/application_win32.h"
#include "ui/menu_items_win32.h"
#include "ui/screen_dpi_win32.h"

namespace mendlet {

namespace {

// Each control with a tip, and the index of its text in the tooltips section.
constexpr std::array<std::pair<int, int>, 22> CONTROL_TIPS{{
    {IDC_APPEND_TO_FIRST, 0},
    {IDC_MOVE_UP, 1},
    {IDC_MOVE_DOWN, 2},
    {IDC_OUTPUT_PATH, 3},
    {IDC_BROWSE, 4},
    {IDC_JOIN, 5},
    {IDC_STATUS, 6},
    {IDC_ADD_FILES, 7},
    {IDC_ADD_FOLDER, 8},
    {IDC_REMOVE, 9},
    {IDC_REMOVE_ALL, 10},
    {IDC_SORT, 11},
    {IDC_AUTO_SORT, 12},
    {IDC_CRC32_VALUE, 13},
    {IDC_CRC32_CHECK, 14},
    {IDC_MD5_VALUE, 15},
    {IDC_MD5_CHECK, 16},
    {IDC_CLEAR_HASH, 17},
    {IDC_DELETE_PARTS, 18},
    {IDC_EXIT_WHEN_DONE, 19},
    {IDC_OPEN_OUTPUT_FILE, 20},
    {IDC_OPEN_OUTPUT_FOLDER, 21},
}};

// The full tool record (with its reserved field) came with common controls 6.
UINT tool_record_size() {
    using GetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
    const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    const auto get_version =
        controls != nullptr
            ? reinterpret_cast<GetVersion>(reinterpret_cast<void*>(GetProcAddress(controls, "DllGetVersion")))
            : nullptr;
    DLLVERSIONINFO version{};
    version.cbSize = sizeof(version);
    if (get_version != nullptr && SUCCEEDED(get_version(&version)) && version.dwMajorVersion >= 6)
        return sizeof(TTTOOLINFOW);
    return TTTOOLINFOW_V2_SIZE;
}

void enable_item(HMENU menu, UINT item, bool enabled) {
    EnableMenuItem(menu, item, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

TTTOOLINFOW Application::tool_record(HWND tool) const {
    TTTOOLINFOW record{};
    record.cbSize = tool_record_size_;
    record.hwnd = window_;
    record.uId = reinterpret_cast<UINT_PTR>(tool);
    return record;
}

void Application::create_tooltips() {
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
    if (tooltip_ == nullptr) return;
    tool_record_size_ = tool_record_size();
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, MulDiv(600, screen_dpi(window_), 96));

    TTTOOLINFOW list_tool = tool_record(list_view());
    list_tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    list_tool.lpszText = const_cast<wchar_t*>(texts_.list_tooltip[0]);
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&list_tool));
    SetWindowLongPtrW(list_view(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    list_view_proc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list_view(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Application::list_view_events)));

    for (const auto& [control, text] : CONTROL_TIPS) {
        // The text is asked for each time, so a new language shows at the next tip.
        TTTOOLINFOW tool = tool_record(GetDlgItem(window_, control));
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

bool Application::answer_tip_request(NMTTDISPINFOW& request) {
    const int control = GetDlgCtrlID(reinterpret_cast<HWND>(request.hdr.idFrom));
    for (const auto& [id, text] : CONTROL_TIPS) {
        if (id != control) continue;
        request.lpszText = const_cast<wchar_t*>(texts_.tooltips[static_cast<std::size_t>(text)]);
        return true;
    }
    return false;
}

void Application::relay_to_tooltip(MSG& message) {
    if (tooltip_ == nullptr || message.hwnd != list_view()) return;
    switch (message.message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
            break;
        default:
            break;
    }
}

LRESULT CALLBACK Application::list_view_events(HWND list_view, UINT message, WPARAM wparam, LPARAM lparam) {
    auto& application = *reinterpret_cast<Application*>(GetWindowLongPtrW(list_view, GWLP_USERDATA));
    TTTOOLINFOW tool = application.tool_record(list_view);
    switch (message) {
        case WM_MOUSELEAVE:
            application.hover_tracking_ = false;
            SendMessageW(application.tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
            return 0;
        case WM_MOUSEMOVE:
            application.on_list_mouse_move(tool, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
            return 0;
        case WM_MOUSEHOVER:
            // Placed at once: otherwise the first tip would stay where no tip was placed yet.
            SendMessageW(application.tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
            application.tip_shown_ = true;
            application.place_list_tip(tool, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
            return 0;
        case WM_PAINT: {
            const LRESULT result = CallWindowProcW(application.list_view_proc_, list_view, message, wparam, lparam);
            application.paint_list_focus();
            return result;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
        // Scrolling moves the frame's pixels with the rows.
        case WM_VSCROLL:
        case WM_HSCROLL:
        case WM_MOUSEWHEEL:
        case LVM_SCROLL:
        case LVM_ENSUREVISIBLE: {
            const LRESULT result = CallWindowProcW(application.list_view_proc_, list_view, message, wparam, lparam);
            InvalidateRect(list_view, nullptr, TRUE);
            return result;
        }
        case WM_CONTEXTMENU: {
            // From the keyboard (Shift+F10, the Menu key) the menu comes without a place.
            const POINT at = lparam == -1 ? application.keyboard_menu_place()
                                          : POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
            if (application.show_list_menu(at.x, at.y)) return 0;
            break;
        }
        default:
            break;
    }
    return CallWindowProcW(application.list_view_proc_, list_view, message, wparam, lparam);
}

// A list with the keyboard focus but no focused row (an empty one, say) shows a frame in the
// selection colour inside its rows' area, where the keyboard cues are shown. Drawn whole
// after every paint, it is the same whatever part of the list was painted; once it is no
// longer wanted, the whole list paints afresh without it.
void Application::paint_list_focus() {
    const HWND rows = list_view();
    const bool wanted = GetFocus() == rows &&
                        SendMessageW(rows, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) < 0 &&
                        (SendMessageW(rows, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
    if (!wanted) {
        if (list_focus_shown_) InvalidateRect(rows, nullptr, TRUE);
        list_focus_shown_ = false;
        return;
    }
    RECT area;
    GetClientRect(rows, &area);
    RECT header;
    if (GetWindowRect(reinterpret_cast<HWND>(SendMessageW(rows, LVM_GETHEADER, 0, 0)), &header))
        area.top += header.bottom - header.top;
    const HDC dc = GetDC(rows);
    FrameRect(dc, &area, GetSysColorBrush(COLOR_HIGHLIGHT));
    ReleaseDC(rows, dc);
    list_focus_shown_ = true;
}

// The hover text is built only when the mouse reaches another row.
void Application::on_list_mouse_move(TTTOOLINFOW& tool, int x, int y) {
    if (!hover_tracking_) {
        hover_tracking_ = true;
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, list_view(),
                              static_cast<DWORD>(SendMessageW(tooltip_, TTM_GETDELAYTIME, TTDT_INITIAL, 0))};
        TrackMouseEvent(&track);
        return;
    }
    if (tip_shown_ && (x != last_mouse_.x || y != last_mouse_.y)) place_list_tip(tool, x, y);
}

// The tip follows the mouse and describes the row under it.
void Application::place_list_tip(TTTOOLINFOW& tool, int x, int y) {
    last_mouse_ = {x, y};
    LVHITTESTINFO hit{};
    hit.pt = last_mouse_;
    const int row = static_cast<int>(SendMessageW(list_view(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row != hovered_row_) {
        hover_text_.reset();
        if (row >= 0) hover_text_ = part_tooltip_text(list_, texts_, static_cast<std::uint32_t>(row));
        hovered_row_ = row;
    }
    tool.lpszText = const_cast<wchar_t*>(hover_text_ ? hover_text_->c_str() : texts_.list_tooltip[0]);
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    POINT at = last_mouse_;
    ClientToScreen(list_view(), &at);
    SendMessageW(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x + 10, at.y - 20));
}

void Application::prepare_list_menu(HMENU popup) {
    const UINT items[] = {IDM_OPEN_FILE_LOCATION, IDM_IMPORT_LIST, IDM_EXPORT_LIST, IDM_REMOVE, IDM_REMOVE_ALL};
    for (std::size_t i = 0; i < std::size(items); ++i) set_menu_item_text(popup, items[i], false, texts_.menu_popup[i]);
    // The key is the same in every language.
    set_menu_item_text(popup, IDM_CHECK_PARTS, false, (std::wstring(texts_.menu_popup[5]) + L"\tK").c_str());
    const bool rows = !list_.empty();
    const bool focused = rows && SendMessageW(list_view(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) >= 0;
    enable_item(popup, IDM_CHECK_PARTS, rows);
    enable_item(popup, IDM_EXPORT_LIST, rows);
    enable_item(popup, IDM_REMOVE_ALL, rows);
    enable_item(popup, IDM_OPEN_FILE_LOCATION, focused);
    enable_item(popup, IDM_REMOVE, focused);
}

// Under the focused row, brought into sight, or the list's corner when no row has the focus.
POINT Application::keyboard_menu_place() const {
    const HWND rows = list_view();
    const int row = static_cast<int>(SendMessageW(rows, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    POINT at{0, 0};
    RECT place{};
    place.left = LVIR_LABEL;
    if (row >= 0) {
        SendMessageW(rows, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        if (SendMessageW(rows, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&place)))
            at = {place.left, place.bottom};
    }
    ClientToScreen(rows, &at);
    return at;
}

bool Application::show_list_menu(int x, int y) {
    const HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_LIST_MENU));
    if (menu == nullptr) return false;
    const HMENU popup = GetSubMenu(menu, 0);
    prepare_list_menu(popup);
    TrackPopupMenu(popup, TPM_LEFTBUTTON, x, y, 0, window_, nullptr);
    DestroyMenu(menu);
    return true;
}

// Also during a join: it only shows where a part is.
void Application::open_file_location() {
    const int row = static_cast<int>(SendMessageW(list_view(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (const PartEntry* entry = row >= 0 ? list_.at(static_cast<std::uint32_t>(row)) : nullptr)
        show_in_file_manager(window_, entry->path);
}

}  // namespace mendlet
