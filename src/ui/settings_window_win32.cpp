// The settings files as the main window meets them: read once as it starts and applied to
// the settings and to the window, written when it is destroyed.

#include "res/resource.h"
#include "settings/settings_store_win32.h"
#include "ui/application_win32.h"
#include "ui/menu_items_win32.h"

namespace mendlet {

namespace {

bool checked(HWND window, int control) { return IsDlgButtonChecked(window, control) == BST_CHECKED; }

}  // namespace

void Application::load_settings() {
    const auto paths = settings_file_paths(program_path_);
    if (!paths) return;
    const StoredSettings stored = read_settings_files(*paths);
    // Without a usable record only the custom folder counts, and it is not in use.
    settings_ = settings_from_files(stored.record, stored.custom_output_path);
    if (!stored.record) return;
    apply_window_state(stored.record->window);
    if (!stored.record->has_revision6_fields()) return;
    const WindowState& saved = stored.record->window;
    if (saved.language_id != 0) {
        const LanguageChoice choice = choose_language_by_id(languages_, saved.language_id);
        if (choice.settled) select_language(choice.language);
        language_chosen_ = choice.settled;
    }
    if (settings_.remember_window_position) restore_window_position(saved.window_left, saved.window_top);
}

// In the order the window's own handlers expect: the append box, for one, takes the output
// path aside only when it is ticked.
void Application::apply_window_state(const WindowState& state) {
    if (state.always_on_top) toggle_always_on_top();
    if (!state.auto_sort) CheckDlgButton(window_, IDC_AUTO_SORT, BST_UNCHECKED);
    if (state.append_to_first) {
        CheckDlgButton(window_, IDC_APPEND_TO_FIRST, BST_CHECKED);
        on_append_checkbox();
    }
    set_menu_checked(window_, IDM_REMOVE_ALL_AFTER_JOIN, settings_.remove_all_after_join);
    if (state.hash_shown) toggle_hash_section();
    for (const auto& [on, box] : {std::pair{state.crc32_enabled, IDC_CRC32_CHECK}, {state.md5_enabled, IDC_MD5_CHECK}}) {
        if (!on) continue;
        CheckDlgButton(window_, box, BST_CHECKED);
        on_digest_checkbox(box);
    }
    for (const auto& [on, box] :
         {std::pair{state.exit_when_done, IDC_EXIT_WHEN_DONE}, {state.open_output_file_when_done, IDC_OPEN_OUTPUT_FILE},
          {state.delete_parts_when_done, IDC_DELETE_PARTS}, {state.open_output_folder_when_done, IDC_OPEN_OUTPUT_FOLDER}})
        if (on) CheckDlgButton(window_, box, BST_CHECKED);
}

// Where the window was last closed, in the coordinates that the placement keeps; whether
// that is on any screen now is settled afterwards, by keep_window_on_screen.
void Application::restore_window_position(std::int32_t left, std::int32_t top) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window_, &placement)) return;
    RECT& normal = placement.rcNormalPosition;
    OffsetRect(&normal, left - normal.left, top - normal.top);
    // Windows reports a window not yet shown as shown normally; it stays hidden until its
    // initialisation is done.
    if (!IsWindowVisible(window_)) placement.showCmd = SW_HIDE;
    SetWindowPlacement(window_, &placement);
}

// A position saved on a larger or another screen, or at a smaller scale, or the hash
// section shown below a centred window, may leave part of it out of sight: it goes wholly
// onto the work area of the monitor nearest to it, at the size it has now.
void Application::keep_window_on_screen() {
    RECT frame;
    GetWindowRect(window_, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    const WindowPosition place =
        place_on_work_area({frame.left, frame.top}, {work.left, work.top, work.right, work.bottom},
                           {frame.right - frame.left, frame.bottom - frame.top});
    SetWindowPos(window_, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Application::save_settings() {
    if (const auto paths = settings_file_paths(program_path_)) write_settings_files(*paths, settings_, window_state());
}

WindowState Application::window_state() const {
    WindowState state;
    state.auto_sort = checked(window_, IDC_AUTO_SORT);
    state.append_to_first = checked(window_, IDC_APPEND_TO_FIRST);
    state.always_on_top = menu_checked(window_, IDM_ALWAYS_ON_TOP);
    state.crc32_enabled = checked(window_, IDC_CRC32_CHECK);
    state.md5_enabled = checked(window_, IDC_MD5_CHECK);
    state.hash_shown = !menu_checked(window_, IDM_DISABLE_HASH);
    state.exit_when_done = checked(window_, IDC_EXIT_WHEN_DONE);
    state.open_output_file_when_done = checked(window_, IDC_OPEN_OUTPUT_FILE);
    state.delete_parts_when_done = checked(window_, IDC_DELETE_PARTS);
    state.open_output_folder_when_done = checked(window_, IDC_OPEN_OUTPUT_FOLDER);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(window_, &placement)) {
        state.window_left = placement.rcNormalPosition.left;
        state.window_top = placement.rcNormalPosition.top;
    }
    state.language_id = languages_.current_language_id();
    return state;
}

}  // namespace mendlet
