#pragma once
// The list view that shows the part list: a virtual report view that stores no rows, only
// their number, and asks for each cell's text when it paints.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

namespace mendlet {

class PartList;
struct TextTable;

// Grid lines, full-row selection, double buffering and the three columns.
void set_up_list_view(HWND list_view, const TextTable& texts);

// Shows count rows and repaints them at once.
void show_row_count(HWND list_view, std::uint32_t count);

// Redraws those of the rows 0 to count that are in sight, and repaints at once.
void redraw_rows(HWND list_view, std::uint32_t count);

// Answers the list view's request for a cell's text; the text stays owned by the list, the
// text table or, for a path shortened to fit its column, by shown_path.
void answer_display_request(NMLVDISPINFOW& request, const PartList& list, const TextTable& texts,
                            std::wstring& shown_path);

// The next selected row after the given one (-1: from the top), or -1.
int next_selected_row(HWND list_view, int after);
bool row_selected(HWND list_view, int row);

// Exchanges the focused, selected, cut and drop-highlighted states of two rows, so that a
// selection moves with its entry.
void swap_row_states(HWND list_view, int a, int b);
void clear_selection_and_focus(HWND list_view);

}  // namespace mendlet
