// The status line as it is drawn: its message in the status colour, in the large font on one
// line where it fits, otherwise in the dialog's size on as many lines as it needs, centred.

#include "res/resource.h"
#include "ui/application_win32.h"
#include "ui/window_text_win32.h"

namespace mendlet {

namespace {

// File names may contain '&': the status line shows ampersands as typed.
constexpr UINT TEXT_FORMAT = DT_CENTER | DT_NOPREFIX;

int width(const RECT& area) { return area.right - area.left; }
int height(const RECT& area) { return area.bottom - area.top; }

}  // namespace

void Application::draw_status_line(const DRAWITEMSTRUCT& item) const {
    const HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const std::wstring text = window_text(item.hwndItem);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, status_.status_colour());
    RECT area = item.rcItem;
    const HGDIOBJ previous = SelectObject(dc, status_font_);
    RECT needed = area;
    DrawTextW(dc, text.c_str(), -1, &needed, TEXT_FORMAT | DT_SINGLELINE | DT_CALCRECT);
    if (width(needed) <= width(area)) {
        DrawTextW(dc, text.c_str(), -1, &area, TEXT_FORMAT | DT_SINGLELINE | DT_VCENTER);
    } else {
        // Long words, paths, are broken where the line ends.
        constexpr UINT WRAPPED = TEXT_FORMAT | DT_WORDBREAK | DT_EDITCONTROL;
        SelectObject(dc, long_status_font_);
        needed = area;
        DrawTextW(dc, text.c_str(), -1, &needed, WRAPPED | DT_CALCRECT);
        if (height(needed) < height(area)) area.top += (height(area) - height(needed)) / 2;
        DrawTextW(dc, text.c_str(), -1, &area, WRAPPED);
    }
    SelectObject(dc, previous);
}

}  // namespace mendlet
