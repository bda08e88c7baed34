#include "ui/window_join_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "res/resource.h"
#include "join/join_worker.h"
#include "ui/application_win32.h"
#include "ui/menu_items_win32.h"
#include "ui/part_list_view_win32.h"
#include "ui/window_text_win32.h"

namespace mendlet {

namespace {

bool checked(HWND window, int control) { return IsDlgButtonChecked(window, control) == BST_CHECKED; }

// A job that ends sooner has most likely been watched to its end; over a longer one the user
// turns to other windows, and wants to hear that it is done.
constexpr ULONGLONG LONG_JOB_MS = 5000;

// A box or dialog that the window owns counts as the window.
bool in_foreground(HWND window, HWND foreground) {
    return foreground != nullptr && GetAncestor(foreground, GA_ROOTOWNER) == window;
}

}  // namespace

template <typename Work>
void WindowJoin::on_window_thread(Work work) {
    std::function<void()> request = work;
    SendMessageW(app_.window(), MSG_RUN_REQUEST, 0, reinterpret_cast<LPARAM>(&request));
}

bool WindowJoin::ask_yes_no(const Question& question) {
    bool yes = false;
    on_window_thread([&] {
        UINT style = MB_YESNO;
        if (question.icon == Question::Icon::warning) style |= MB_ICONWARNING;
        if (question.icon == Question::Icon::information) style |= MB_ICONINFORMATION;
        if (question.icon == Question::Icon::question) style |= MB_ICONQUESTION;
        if (!question.yes_is_default) style |= MB_DEFBUTTON2;
        yes = app_.message_box(app_.window(), question.text.c_str(), question.caption.c_str(), style) == IDYES;
    });
    return yes;
}

JobInputs WindowJoin::read_job_inputs() {
    JobInputs inputs;
    on_window_thread([&] {
        const HWND window = app_.window();
        inputs.append_to_first = checked(window, IDC_APPEND_TO_FIRST);
        inputs.exit_when_done = checked(window, IDC_EXIT_WHEN_DONE);
        inputs.hashing_disabled = menu_checked(window, IDM_DISABLE_HASH);
        inputs.crc32_checked = checked(window, IDC_CRC32_CHECK);
        inputs.md5_checked = checked(window, IDC_MD5_CHECK);
        inputs.output_path = window_text(GetDlgItem(window, IDC_OUTPUT_PATH));
    });
    return inputs;
}

CompletionChoices WindowJoin::read_completion_choices() {
    CompletionChoices choices;
    on_window_thread([&] {
        choices.open_output_folder = checked(app_.window(), IDC_OPEN_OUTPUT_FOLDER);
        choices.open_output_file = checked(app_.window(), IDC_OPEN_OUTPUT_FILE);
        choices.delete_parts = checked(app_.window(), IDC_DELETE_PARTS);
        choices.remove_all_after_join = app_.settings().remove_all_after_join;
    });
    return choices;
}

void WindowJoin::show_status(std::wstring_view text, Colour colour, bool timed) {
    on_window_thread([&] { app_.status().show_status(text, colour, timed); });
}

void WindowJoin::reset_status() {
    on_window_thread([&] { app_.status().reset_status(); });
}

void WindowJoin::start_taskbar_progress() {
    on_window_thread([&] {
        if (app_.taskbar() != nullptr) app_.taskbar()->SetProgressValue(app_.window(), 0, 1000);
    });
}

void WindowJoin::show_progress(std::uint32_t permille) {
    on_window_thread([&] {
        SendDlgItemMessageW(app_.window(), IDC_PROGRESS, PBM_SETPOS, permille, 0);
        if (app_.taskbar() != nullptr) app_.taskbar()->SetProgressValue(app_.window(), permille, 1000);
    });
}

void WindowJoin::show_digests(const std::optional<std::string>& crc32, const std::optional<std::string>& md5) {
    on_window_thread([&] {
        if (crc32) SetWindowTextA(GetDlgItem(app_.window(), IDC_CRC32_VALUE), crc32->c_str());
        if (md5) SetWindowTextA(GetDlgItem(app_.window(), IDC_MD5_VALUE), md5->c_str());
    });
}

void WindowJoin::mark_part(PartList& list, std::uint32_t index, std::int32_t status) {
    on_window_thread([&] {
        list.at(index)->set_status(status);
        SendDlgItemMessageW(app_.window(), IDC_PART_LIST, LVM_REDRAWITEMS, index, index);
    });
}

void WindowJoin::open_output_folder(const std::wstring& output_path) {
    app_.show_in_file_manager(app_.window(), output_path);
}

void WindowJoin::open_output_file(const std::wstring& output_path) {
    app_.open_with_program(app_.window(), output_path);
}

void WindowJoin::empty_list(bool keep_status) {
    on_window_thread([&] { app_.empty_list(keep_status); });
}

void WindowJoin::job_started() { SendMessageW(app_.window(), MSG_JOB_STARTED, 0, 0); }

void WindowJoin::job_ended() { SendMessageW(app_.window(), MSG_JOB_ENDED, 0, 0); }

void WindowJoin::request_close() { PostMessageW(app_.window(), WM_CLOSE, 0, 0); }

// A check computes no digest for the boxes: they keep what the last join showed.
void WindowJoin::show_busy_state(JobKind kind) {
    on_window_thread([&] {
        const HWND window = app_.window();
        SendDlgItemMessageW(window, IDC_PROGRESS, PBM_SETPOS, 0, 0);
        if (kind == JobKind::join) {
            SetDlgItemTextW(window, IDC_CRC32_VALUE, L"");
            SetDlgItemTextW(window, IDC_MD5_VALUE, L"");
        }
        show_job_controls(true);
        app_.status().set_text_only(job_activity(app_.texts(), kind));
        job_shown_at_ = app_.tick_count();
    });
}

void WindowJoin::show_idle_state() {
    on_window_thread([&] {
        // A status the job set on a row shows at once.
        redraw_rows(GetDlgItem(app_.window(), IDC_PART_LIST), app_.list().count());
        app_.set_taskbar_state(TBPF_NOPROGRESS);
        show_job_controls(false);
        flash_if_unseen();
    });
}

// The taskbar button, not the caption: the window is not in front. It flashes until the user
// comes back to the window.
void WindowJoin::flash_if_unseen() {
    const HWND window = app_.window();
    if (app_.tick_count() - job_shown_at_ <= LONG_JOB_MS || in_foreground(window, app_.foreground_window())) return;
    FLASHWINFO flash{sizeof(flash), window, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
    app_.flash_window(flash);
}

// The progress bar takes the place of the output path row while a job runs; the options
// that a job reads at its start are locked.
void WindowJoin::show_job_controls(bool busy) {
    const HWND window = app_.window();
    const int hidden_while_busy = busy ? SW_HIDE : SW_SHOWNORMAL;
    ShowWindow(GetDlgItem(window, IDC_BROWSE), hidden_while_busy);
    ShowWindow(GetDlgItem(window, IDC_OUTPUT_PATH), hidden_while_busy);
    SetDlgItemTextW(window, IDC_JOIN, app_.texts().join_button[busy ? 0 : 1]);
    for (const int control : {IDC_APPEND_TO_FIRST, IDC_EXIT_WHEN_DONE, IDC_CRC32_CHECK, IDC_MD5_CHECK})
        EnableWindow(GetDlgItem(window, control), !busy);
    ShowWindow(GetDlgItem(window, IDC_PROGRESS), busy ? SW_SHOWNORMAL : SW_HIDE);
}

}  // namespace mendlet
