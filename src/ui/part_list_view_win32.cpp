#include "ui/part_list_view_win32.h"

#include <algorithm>

#include "core/part_list.h"
#include "core/shortened_path.h"
#include "lang/text_table.h"
#include "ui/screen_dpi_win32.h"

namespace mendlet {

namespace {

constexpr UINT ROW_STATES = LVIS_FOCUSED | LVIS_SELECTED | LVIS_CUT | LVIS_DROPHILITED;
// Edges' widths between a column's sides and the text the list view draws in it.
constexpr int LABEL_MARGINS = 6;

void insert_column(HWND list_view, int index, const wchar_t* text, int format, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(text);
    column.iSubItem = index;
    SendMessageW(list_view, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void set_row_state(HWND list_view, int row, UINT state) {
    LVITEMW item{};
    item.stateMask = ROW_STATES;
    item.state = state;
    SendMessageW(list_view, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// The path as it fits the Path column: paths that differ only in their part numbers would
// all read alike if the column cut them at their ends.
std::wstring fitted_path(HWND list_view, std::wstring_view path) {
    // The list view draws a cell's text within margins of its own.
    const int room = static_cast<int>(SendMessageW(list_view, LVM_GETCOLUMNWIDTH, 0, 0)) -
                     LABEL_MARGINS * GetSystemMetrics(SM_CXEDGE);
    const HDC dc = GetDC(list_view);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list_view, WM_GETFONT, 0, 0)));
    std::wstring shown = shortened_path(path, [&](std::wstring_view text) {
        SIZE size{};
        return GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size) && size.cx <= room;
    });
    SelectObject(dc, previous);
    ReleaseDC(list_view, dc);
    return shown;
}

}  // namespace

void set_up_list_view(HWND list_view, const TextTable& texts) {
    const DWORD styles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    SendMessageW(list_view, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
    RECT client;
    GetClientRect(list_view, &client);
    // Widths for 100 %, grown with the display's scale as the texts in them grow.
    const int dpi = screen_dpi(list_view);
    const int size_width = MulDiv(80, dpi, 96);
    const int status_width = MulDiv(70, dpi, 96);
    // The path column takes what the other two and a vertical scroll bar leave.
    const int others = size_width + status_width + MulDiv(10, dpi, 96);
    insert_column(list_view, 0, texts.list_column[0], LVCFMT_LEFT,
                  client.right - client.left - GetSystemMetrics(SM_CXVSCROLL) - others);
    insert_column(list_view, 1, texts.list_column[1], LVCFMT_RIGHT, size_width);
    insert_column(list_view, 2, texts.list_column[2], LVCFMT_CENTER, status_width);
}

void show_row_count(HWND list_view, std::uint32_t count) {
    SendMessageW(list_view, LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL);
    redraw_rows(list_view, count);
}

// Rows out of sight paint when they scroll into it, so only those in sight are redrawn:
// redrawing costs time for every row, and lists can be long.
void redraw_rows(HWND list_view, std::uint32_t count) {
    const auto top = static_cast<std::uint32_t>(SendMessageW(list_view, LVM_GETTOPINDEX, 0, 0));
    const auto in_sight = static_cast<std::uint32_t>(SendMessageW(list_view, LVM_GETCOUNTPERPAGE, 0, 0));
    SendMessageW(list_view, LVM_REDRAWITEMS, top, std::min(count, top + in_sight + 1));
    UpdateWindow(list_view);
}

void answer_display_request(NMLVDISPINFOW& request, const PartList& list, const TextTable& texts,
                            std::wstring& shown_path) {
    LVITEMW& item = request.item;
    if ((item.mask & LVIF_TEXT) == 0 || item.iSubItem < 0 || item.iSubItem > 2 || item.iItem < 0) return;
    const wchar_t* text = part_text(list, texts, static_cast<std::uint32_t>(item.iItem), item.iSubItem);
    if (text == nullptr) return;
    if (item.iSubItem == 0) {
        shown_path = fitted_path(request.hdr.hwndFrom, text);
        text = shown_path.c_str();
    }
    item.pszText = const_cast<wchar_t*>(text);
}

int next_selected_row(HWND list_view, int after) {
    return static_cast<int>(SendMessageW(list_view, LVM_GETNEXTITEM, after, LVNI_SELECTED));
}

bool row_selected(HWND list_view, int row) {
    return (SendMessageW(list_view, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void swap_row_states(HWND list_view, int a, int b) {
    const UINT state_a = static_cast<UINT>(SendMessageW(list_view, LVM_GETITEMSTATE, a, ROW_STATES));
    const UINT state_b = static_cast<UINT>(SendMessageW(list_view, LVM_GETITEMSTATE, b, ROW_STATES));
    set_row_state(list_view, a, state_b);
    set_row_state(list_view, b, state_a);
}

void clear_selection_and_focus(HWND list_view) { set_row_state(list_view, -1, 0); }

}  // namespace mendlet
