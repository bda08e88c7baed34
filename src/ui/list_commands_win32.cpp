// The application's commands on the part list and the output path box: they keep the list
// view, the output path and the statuses in step with the list.

#include <vector>

#include "core/list_checks.h"
#include "core/output_path.h"
#include "lang/text_names.h"
#include "res/resource.h"
#include "ui/application_win32.h"
#include "ui/part_list_view_win32.h"
#include "ui/window_text_win32.h"

namespace mendlet {

bool Application::refused_during_join() {
    if (!busy()) return false;
    status_.show_busy();
    return true;
}

// The statuses are evaluated before the rows paint, so that they show the new ones.
void Application::refresh_list() {
    update_output_path();
    evaluate_statuses(list_, false, settings_);
    show_row_count(list_view(), list_.count());
}

void Application::update_output_path() {
    const HWND box = GetDlgItem(window_, IDC_OUTPUT_PATH);
    const OutputBox current{window_text(box), SendMessageW(box, EM_GETMODIFY, 0, 0) != 0};
    const bool append = IsDlgButtonChecked(window_, IDC_APPEND_TO_FIRST) == BST_CHECKED;
    OutputPathUpdate update =
        next_output_path(list_, current, append, remembered_output_path_, settings_, texts_.messages[MSG_NO_DOT_SUFFIX]);
    remembered_output_path_ = std::move(update.remembered_output_path);
    // Setting the text also clears the box's modified flag.
    SetWindowTextW(box, update.box_text.c_str());
}

// After a command changed the order or removed parts: a persistent message gives way, the
// statuses follow the new list, and the rows show them (also rows that did not move).
void Application::after_reordering() {
    if (status_.status_persistent()) status_.reset_status();
    evaluate_statuses(list_, false, settings_);
    redraw_rows(list_view(), list_.count());
}

bool Application::selection_to_move() {
    if (next_selected_row(list_view(), -1) >= 0) return true;
    status_.show_status(texts_.messages[MSG_NOTHING_SELECTED], COLOUR_ERROR, true);
    return false;
}

// A selected block moves up by one as a whole; one that starts at the top rotates.
void Application::move_selected_up() {
    if (refused_during_join() || !selection_to_move()) return;
    const HWND rows = list_view();
    for (int row = next_selected_row(rows, -1); row >= 0; row = next_selected_row(rows, row)) {
        if (row == 0) continue;
        list_.swap_parts(row - 1, row);
        swap_row_states(rows, row, row - 1);
        if (row == 1) update_output_path();
    }
    after_reordering();
}

void Application::move_selected_down() {
    if (refused_during_join() || !selection_to_move()) return;
    const HWND rows = list_view();
    for (int row = static_cast<int>(list_.count()) - 2; row >= 0; --row) {
        if (!row_selected(rows, row)) continue;
        list_.swap_parts(row, row + 1);
        swap_row_states(rows, row, row + 1);
        if (row == 0) update_output_path();
    }
    after_reordering();
}

void Application::remove_selected() {
    if (refused_during_join()) return;
    const HWND rows = list_view();
    // The rows below a removed one move up, so the search goes on from the one above it.
    for (int row = next_selected_row(rows, -1); row >= 0; row = next_selected_row(rows, row - 1)) {
        SendMessageW(rows, LVM_DELETEITEM, row, 0);
        list_.remove_part_at(row);
        if (row == 0) update_output_path();
    }
    after_reordering();
}

void Application::remove_all() {
    if (!refused_during_join()) empty_list();
}

void Application::empty_list(bool keep_status) {
    // The list view first: it must not ask for rows that are already gone.
    SendMessageW(list_view(), LVM_DELETEALLITEMS, 0, 0);
    list_.clear_parts();
    SetDlgItemTextW(window_, IDC_OUTPUT_PATH, L"");
    if (status_.status_persistent() && !keep_status) status_.reset_status();
}

void Application::sort_parts() {
    if (refused_during_join() || list_.empty()) return;
    if (list_.sort_parts(settings_.sort_by_whole_path)) update_output_path();
    clear_selection_and_focus(list_view());
    after_reordering();
}

void Application::browse_output() {
    if (refused_during_join()) return;
    std::vector<wchar_t> name(DIALOG_PATH_UNITS + 1, L'\0');
    if (const PartEntry* first = list_.first()) {
        if (const auto base = output_base_name(first->path))
            lstrcpynW(name.data(), base->c_str(), DIALOG_PATH_UNITS + 1);
    }
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = L"All (*.*)\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = DIALOG_PATH_UNITS;
    dialog.Flags = OFN_PATHMUSTEXIST;
    if (!save_file_name(dialog)) return;
    SetDlgItemTextW(window_, IDC_OUTPUT_PATH, name.data());
    if (status_.status_persistent()) status_.reset_status();
}

// While appending, the output is the first part: the box and Browse are locked.
void Application::on_append_checkbox() {
    if (refused_during_join()) return;
    const bool append = IsDlgButtonChecked(window_, IDC_APPEND_TO_FIRST) == BST_CHECKED;
    EnableWindow(GetDlgItem(window_, IDC_OUTPUT_PATH), !append);
    EnableWindow(GetDlgItem(window_, IDC_BROWSE), !append);
    update_output_path();
}

}  // namespace mendlet
