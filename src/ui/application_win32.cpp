#include "ui/application_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include "lang/language_files_win32.h"
#include "lang/text_format.h"
#include "lang/text_names.h"
#include "res/resource.h"
#include "settings/association_win32.h"
#include "ui/menu_items_win32.h"
#include "ui/part_list_view_win32.h"
#include "ui/screen_dpi_win32.h"
#include "ui/shell_win32.h"
#include "ui/web_addresses.h"
#include "ui/window_join_win32.h"
#include "ui/window_text_win32.h"

namespace mendlet {

namespace {

// The Language menu's place in the menu bar.
constexpr int LANGUAGE_MENU_POSITION = 1;

// How long an exit during a job waits for the worker to stop before the process ends
// without it: a read from a share that stopped answering may never return.
constexpr DWORD EXIT_WAIT_MS = 10000;

// How long the cut-back of a first part that an abandoned append job grew may take: the
// worker may hang holding it, and the process must end.
constexpr DWORD CUT_BACK_WAIT_MS = 5000;

// A Join pressed just after a job ended meets a worker that is only returning.
constexpr DWORD ENDING_WORKER_WAIT_MS = 10000;

// At the system's icon size, which grows with the display's scale.
HICON load_shared_icon(HINSTANCE instance, int id) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

// At the size the two system metrics give. Not shared: the system hands out a shared icon by
// its name alone, whatever size is asked for.
HICON load_icon(HINSTANCE instance, int id, int width_metric, int height_metric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, GetSystemMetrics(width_metric),
                                         GetSystemMetrics(height_metric), 0));
}

void set_button_icon(HWND window, int control, HINSTANCE instance, int icon) {
    SendDlgItemMessageW(window, control, BM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(load_shared_icon(instance, icon)));
}

// The taskbar features came with Windows 7 (6.1).
bool taskbar_features_apply() {
    const DWORD version = GetVersion();
    const DWORD major = LOBYTE(LOWORD(version));
    const DWORD minor = HIBYTE(LOWORD(version));
    return major > 6 || (major == 6 && minor != 0);
}

template <typename Function>
Function user32_function(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), name)));
}

}  // namespace

Application::Application(HINSTANCE instance, std::wstring command_line, std::wstring program_path)
    : message_box([](HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
          return MessageBoxW(owner, text, caption, style);
      }),
      open_file_name([](OPENFILENAMEW& dialog) { return GetOpenFileNameW(&dialog) != FALSE; }),
      save_file_name([](OPENFILENAMEW& dialog) { return GetSaveFileNameW(&dialog) != FALSE; }),
      browse_for_folder([](BROWSEINFOW& browser) { return SHBrowseForFolderW(&browser); }),
      key_held([](int virtual_key) { return GetAsyncKeyState(virtual_key) < 0; }),
      ui_language([] { return GetUserDefaultUILanguage(); }),
      open_address([](HWND owner, const std::wstring& address) { open_with_associated_program(owner, address); }),
      open_own_address(open_kept_address),
      show_in_file_manager(open_in_file_manager),
      open_with_program(open_with_associated_program),
      tick_count(GetTickCount64),
      foreground_window(GetForegroundWindow),
      flash_window([](FLASHWINFO& flash) { FlashWindowEx(&flash); }),
      update_server(built_in_update_server()),
      instance_(instance),
      command_line_(std::move(command_line)),
      program_path_(std::move(program_path)),
      status_(*this, texts_, flags_.join_running),
      join_window_(std::make_unique<WindowJoin>(*this)),
      job_{list_, settings_, job_texts_, *join_window_, files_, flags_},
      join_thread_(job_) {
    if (taskbar_features_apply() && SUCCEEDED(CoInitialize(nullptr))) {
        com_ready_ = true;
        taskbar_created_message_ = RegisterWindowMessageW(L"TaskbarButtonCreated");
        using Filter = BOOL(WINAPI*)(UINT, DWORD);
        if (const auto filter = user32_function<Filter>("ChangeWindowMessageFilter"))
            filter(taskbar_created_message_, 1);
    }
}

Application::~Application() {
    join_thread_.stop_and_wait();
    // A window that outlives its application (as in tests) no longer reaches it.
    if (IsWindow(window_)) SetWindowLongPtrW(window_, DWLP_USER, 0);
    if (status_.status_timer() != 0) stop_status_timer();
    for (const HFONT font : {status_font_, long_status_font_})
        if (font != nullptr) DeleteObject(font);
    for (const HICON icon : {big_icon_, small_icon_})
        if (icon != nullptr) DestroyIcon(icon);
    if (taskbar_ != nullptr) taskbar_->Release();
    if (com_ready_) CoUninitialize();
}

HWND Application::create_window() {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                                          ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const HWND window =
        CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN), nullptr, dialog_proc, reinterpret_cast<LPARAM>(this));
    if (window != nullptr) ShowWindow(window, SW_SHOW);
    return window;
}

int Application::run() {
    if (create_window() == nullptr) {
        message_box(nullptr, texts_.messages[MSG_LOW_MEMORY], APP_CAPTION, MB_ICONERROR | MB_TOPMOST);
        return 0;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (take_shortcut(message)) continue;
        relay_to_tooltip(message);
        if (IsDialogMessageW(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // A worker that does not stop in time still uses what this object owns: the process
    // ends around it, its settings already written, and a first part it was appending to
    // gets its old size back first.
    if (!join_thread_.stop_and_wait(EXIT_WAIT_MS)) {
        if (!join_thread_.cut_back_first_part(CUT_BACK_WAIT_MS)) {
            const AppendedFirstPart& part = flags_.appended_first_part;
            const std::wstring text = format_text(texts_.messages[MSG_NOT_CUT_BACK], {part.path(), std::to_wstring(part.old_size())});
            message_box(nullptr, text.c_str(), APP_CAPTION, MB_ICONERROR | MB_TOPMOST);
        }
        ExitProcess(0);
    }
    return 0;
}

INT_PTR CALLBACK Application::dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lparam);
    auto* application = reinterpret_cast<Application*>(GetWindowLongPtrW(window, DWLP_USER));
    if (application == nullptr) return FALSE;
    if (message == WM_INITDIALOG) application->window_ = window;
    return application->handle(message, wparam, lparam);
}

INT_PTR Application::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            initialise(window_);
            return TRUE;
        case WM_COMMAND:
            return handle_command(LOWORD(wparam));
        case WM_NOTIFY: {
            auto& header = *reinterpret_cast<NMHDR*>(lparam);
            if (header.hwndFrom == tooltip_ && header.code == TTN_GETDISPINFOW)
                return answer_tip_request(*reinterpret_cast<NMTTDISPINFOW*>(lparam));
            if (header.idFrom != IDC_PART_LIST || header.code != LVN_GETDISPINFOW) return FALSE;
            answer_display_request(*reinterpret_cast<NMLVDISPINFOW*>(lparam), list_, texts_, shown_path_);
            return TRUE;
        }
        case WM_DROPFILES:
            drop_files(reinterpret_cast<HDROP>(wparam));
            return TRUE;
        case WM_TIMER:
            status_.status_tick();
            return TRUE;
        case WM_DRAWITEM:
            if (wparam != IDC_STATUS) return FALSE;
            draw_status_line(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_CLOSE:
            on_close();
            return TRUE;
        case WM_QUERYENDSESSION:
            SetWindowLongPtrW(window_, DWLP_MSGRESULT, busy() ? FALSE : TRUE);
            return TRUE;
        case WM_ENDSESSION:
            if (wparam) DestroyWindow(window_);
            return TRUE;
        case WM_DESTROY:
            save_settings();
            PostQuitMessage(0);
            return TRUE;
        case MSG_JOB_STARTED:
            on_job_started();
            return TRUE;
        case MSG_JOB_ENDED:
            on_job_ended();
            return TRUE;
        case MSG_RUN_REQUEST:
            (*reinterpret_cast<std::function<void()>*>(lparam))();
            return TRUE;
        default:
            if (message != 0 && message == taskbar_created_message_) {
                create_taskbar();
                return TRUE;
            }
            return FALSE;
    }
}

// Icons, status font, "Auto", progress range and the hash section hidden to start with;
// then the languages and the saved settings, which may change all of these and the window's
// size and place (kept on screen after them), English applied as any language is, so that a
// start shows what a switch to it shows; then the command line, whose parts are checked and
// named with the settings in force; last the association's check mark and the silent
// version check.
void Application::initialise(HWND window) {
    set_button_icon(window, IDC_SORT, instance_, IDI_SORT);
    set_button_icon(window, IDC_MOVE_UP, instance_, IDI_ARROW_UP);
    set_button_icon(window, IDC_MOVE_DOWN, instance_, IDI_ARROW_DOWN);
    // The big icon shows in the task switcher, the small one on the caption.
    big_icon_ = load_icon(instance_, IDI_MAIN, SM_CXICON, SM_CYICON);
    small_icon_ = load_icon(instance_, IDI_MAIN, SM_CXSMICON, SM_CYSMICON);
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_));
    set_up_list_view(GetDlgItem(window, IDC_PART_LIST), texts_);
    create_status_font();
    create_tooltips();
    CheckDlgButton(window, IDC_AUTO_SORT, BST_CHECKED);
    SendDlgItemMessageW(window, IDC_PROGRESS, PBM_SETRANGE32, 0, 1000);
    toggle_hash_section();
    discover_languages(program_path_, languages_, GetSubMenu(GetMenu(window), LANGUAGE_MENU_POSITION));
    load_settings();
    keep_window_on_screen();
    if (!language_chosen_) select_language(choose_language_for_ui(languages_, ui_language()).language);
    add_from_command_line(command_line_);
    if (association_present()) set_menu_checked(window, IDM_ASSOCIATE, true);
    // Nobody waits for the silent check; a thread that cannot start is no loss.
    if (settings_.check_version_on_start) start_update_check_thread(update_check(false));
}

bool Application::take_shortcut(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.hwnd == GetDlgItem(window_, IDC_OUTPUT_PATH)) return false;
    const bool control = key_held(VK_CONTROL);
    switch (message.wParam) {
        case VK_DELETE:
            key_held(VK_SHIFT) ? remove_all() : remove_selected();
            return true;
        case 'A':
            if (control && !list_.empty()) {
                LVITEMW all{};
                all.stateMask = LVIS_SELECTED;
                all.state = LVIS_SELECTED;
                SendMessageW(list_view(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
            }
            return true;
        case 'B':
            browse_output();
            return true;
        case 'J':
            on_join_command();
            return true;
        case 'K':
            on_check_command();
            return true;
        case 'S':
            sort_parts();
            return true;
        case 'T':
            if (control) toggle_always_on_top();
            return true;
        case VK_ADD:
            move_selected_up();
            return true;
        case VK_SUBTRACT:
            move_selected_down();
            return true;
        default:
            return false;
    }
}

HWND Application::list_view() const { return GetDlgItem(window_, IDC_PART_LIST); }

bool Application::handle_command(int command) {
    switch (command) {
        case IDC_JOIN:
            on_join_command();
            return true;
        case IDC_MOVE_UP:
            move_selected_up();
            return true;
        case IDC_MOVE_DOWN:
            move_selected_down();
            return true;
        case IDC_REMOVE:
        case IDM_REMOVE:
            remove_selected();
            return true;
        case IDC_REMOVE_ALL:
        case IDM_REMOVE_ALL:
            remove_all();
            return true;
        case IDC_SORT:
            sort_parts();
            return true;
        case IDC_ADD_FILES:
            add_files_command();
            return true;
        case IDC_ADD_FOLDER:
            add_folder_command();
            return true;
        case IDM_IMPORT_LIST:
            import_list();
            return true;
        case IDM_EXPORT_LIST:
            export_list();
            return true;
        case IDC_BROWSE:
            browse_output();
            return true;
        case IDC_AUTO_SORT:
            // Unticking only stops sorting what comes next.
            if (IsDlgButtonChecked(window_, IDC_AUTO_SORT) == BST_CHECKED) sort_parts();
            return true;
        case IDC_APPEND_TO_FIRST:
            on_append_checkbox();
            return true;
        case IDM_ONLINE_HELP:
            open_own_address(window_, HELP_ADDRESS.unscrambled());
            return true;
        case IDM_WEBPAGE:
            open_own_address(window_, WEB_PAGE_ADDRESS.unscrambled());
            return true;
        case IDM_ABOUT:
            open_about();
            return true;
        case IDM_ASSOCIATE:
            toggle_association();
            return true;
        case IDM_CHECK_UPDATE:
            check_for_update(update_check(true));
            return true;
        case IDM_OPEN_FILE_LOCATION:
            open_file_location();
            return true;
        case IDM_CHECK_PARTS:
            on_check_command();
            return true;
        case IDC_CLEAR_HASH:
            SetDlgItemTextW(window_, IDC_CRC32_VALUE, L"");
            SetDlgItemTextW(window_, IDC_MD5_VALUE, L"");
            return true;
        case IDC_CRC32_CHECK:
        case IDC_MD5_CHECK:
            on_digest_checkbox(command);
            return true;
        case IDM_ALWAYS_ON_TOP:
            toggle_always_on_top();
            return true;
        case IDM_DISABLE_HASH:
            toggle_hash_section();
            return true;
        case IDM_REMOVE_ALL_AFTER_JOIN:
            settings_.remove_all_after_join = !menu_checked(window_, IDM_REMOVE_ALL_AFTER_JOIN);
            set_menu_checked(window_, IDM_REMOVE_ALL_AFTER_JOIN, settings_.remove_all_after_join);
            return true;
        case IDM_SETTINGS:
            open_settings();
            return true;
        default:
            if (command >= static_cast<int>(MENU_ID_LOWEST_LANGUAGE) && command <= static_cast<int>(MENU_ID_ENGLISH)) {
                select_language_by_command(static_cast<UINT>(command));
                return true;
            }
            return false;
    }
}

void Application::on_join_command() {
    set_taskbar_state(TBPF_INDETERMINATE);
    if (job_phase_ == JobPhase::running) {
        flags_.stop_requested = true;
        return;
    }
    start_job(JobKind::join);
}

// Stop belongs to the Join button: during a job, K is refused as the list's commands are.
void Application::on_check_command() {
    if (refused_during_join()) return;
    set_taskbar_state(TBPF_INDETERMINATE);
    start_job(JobKind::check);
}

void Application::start_job(JobKind kind) {
    // A second press while the worker starts, a double click say, neither starts nor stops.
    if (job_phase_ == JobPhase::starting) return;
    // The last job's worker may still be returning after it said that the job ended.
    if (!join_thread_.wait_for_end(ENDING_WORKER_WAIT_MS)) {
        set_taskbar_state(TBPF_NOPROGRESS);
        return;
    }
    join_thread_.release();
    // A check reads a single part as well; joining one would only copy it.
    if (list_.count() < (kind == JobKind::join ? 2u : 1u)) {
        status_.show_status(texts_.messages[list_.empty() ? MSG_LIST_EMPTY : MSG_ONE_FILE], COLOUR_ERROR, true);
        set_taskbar_state(TBPF_NOPROGRESS);
        return;
    }
    job_texts_ = texts_;
    job_.kind = kind;
    flags_.stop_requested = false;
    job_phase_ = JobPhase::starting;
    if (!join_thread_.start()) {
        job_phase_ = JobPhase::idle;
        message_box(nullptr, texts_.messages[MSG_NO_THREAD], APP_CAPTION, MB_ICONERROR | MB_TOPMOST);
        set_taskbar_state(TBPF_NOPROGRESS);
    }
}

void Application::set_taskbar_state(TBPFLAG state) {
    if (taskbar_ != nullptr) taskbar_->SetProgressState(window_, state);
}

// Exit during a job is asked first. On Yes the job is told to stop and the read or write it
// waits on is cancelled; the application waits for it after the message loop, when nothing
// can send it requests any more.
void Application::on_close() {
    if (busy()) {
        const int answer =
            message_box(window_, texts_.messages[MSG_EXIT_DURING_JOB], texts_.messages[MSG_BUSY], MB_YESNOCANCEL | MB_ICONWARNING);
        if (answer != IDYES) return;
        join_thread_.stop();
    }
    DestroyWindow(window_);
}

void Application::on_job_started() {
    job_phase_ = JobPhase::running;
    set_shutdown_block(true);
}

// The taskbar button may have been set waiting by a Join pressed as the job ended, and a
// timed message that ran out meanwhile fell back to "Joining..." or "Checking parts...":
// the idle window says neither.
void Application::on_job_ended() {
    job_phase_ = JobPhase::idle;
    set_shutdown_block(false);
    set_taskbar_state(TBPF_NOPROGRESS);
    const std::wstring shown = window_text(GetDlgItem(window_, IDC_STATUS));
    if (shown == job_activity(texts_, job_.kind) || shown == job_activity(job_texts_, job_.kind))
        status_.reset_status();
}

void Application::on_digest_checkbox(int check_box) {
    if (refused_during_join()) return;
    const int box = check_box == IDC_CRC32_CHECK ? IDC_CRC32_VALUE : IDC_MD5_VALUE;
    EnableWindow(GetDlgItem(window_, box), IsDlgButtonChecked(window_, check_box) == BST_CHECKED);
}

void Application::toggle_always_on_top() {
    const bool was_on_top = menu_checked(window_, IDM_ALWAYS_ON_TOP);
    set_menu_checked(window_, IDM_ALWAYS_ON_TOP, !was_on_top);
    SetWindowPos(window_, was_on_top ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// While the hash section is hidden the rows below it take its place: they move up by the
// distance from its top to the status line's, in pixels at the screen's scale as the dialog
// laid them out, and the window is that much shorter.
void Application::measure_hash_section() {
    RECT frame;
    GetWindowRect(window_, &frame);
    full_width_ = frame.right - frame.left;
    full_height_ = frame.bottom - frame.top;
    RECT hash_section;
    RECT status_line;
    GetWindowRect(GetDlgItem(window_, IDC_HASH_GROUP), &hash_section);
    GetWindowRect(GetDlgItem(window_, IDC_STATUS), &status_line);
    hash_section_height_ = status_line.top - hash_section.top;
}

void Application::toggle_hash_section() {
    // Once, before anything has moved.
    if (full_height_ == 0) measure_hash_section();
    const bool show = menu_checked(window_, IDM_DISABLE_HASH);
    for (int control = IDC_HASH_GROUP; control <= IDC_CLEAR_HASH; ++control)
        ShowWindow(GetDlgItem(window_, control), show ? SW_SHOWNORMAL : SW_HIDE);
    SetWindowPos(window_, nullptr, 0, 0, full_width_, show ? full_height_ : full_height_ - hash_section_height_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    set_menu_checked(window_, IDM_DISABLE_HASH, !show);
    const int shift = show ? hash_section_height_ : -hash_section_height_;
    for (int control = IDC_STATUS; control <= IDC_OPEN_OUTPUT_FOLDER; ++control) {
        const HWND item = GetDlgItem(window_, control);
        if (item == nullptr) continue;
        RECT place;
        GetWindowRect(item, &place);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
        SetWindowPos(item, nullptr, place.left, place.top + shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Moved controls leave their old places unpainted otherwise.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Application::create_status_font() {
    LOGFONTW font{};
    font.lfHeight = static_cast<LONG>(screen_dpi(window_) * 0.2639);
    font.lfWeight = 600;
    font.lfOutPrecision = OUT_STRING_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(font.lfFaceName, L"Microsoft Sans Serif", LF_FACESIZE);
    status_font_ = CreateFontIndirectW(&font);
    SendDlgItemMessageW(window_, IDC_STATUS, WM_SETFONT, reinterpret_cast<WPARAM>(status_font_), TRUE);
    // A message too long for one line in the large font, with a file name say, is drawn in
    // the size of the dialog's own letters, on two lines where it needs them.
    LOGFONTW dialog_font{};
    if (GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0)), sizeof(dialog_font), &dialog_font))
        font.lfHeight = dialog_font.lfHeight;
    else
        font.lfHeight /= 2;
    long_status_font_ = CreateFontIndirectW(&font);
}

void Application::create_taskbar() {
    if (taskbar_ != nullptr || !com_ready_) return;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&taskbar_))))
        return;
    if (FAILED(taskbar_->HrInit())) {
        taskbar_->Release();
        taskbar_ = nullptr;
    }
}

// The system shows the reason when a shutdown waits for the application.
void Application::set_shutdown_block(bool blocked) {
    if (blocked) {
        using Create = BOOL(WINAPI*)(HWND, LPCWSTR);
        if (const auto create = user32_function<Create>("ShutdownBlockReasonCreate"))
            create(window_, texts_.messages[MSG_BUSY]);
    } else {
        using Destroy = BOOL(WINAPI*)(HWND);
        if (const auto destroy = user32_function<Destroy>("ShutdownBlockReasonDestroy")) destroy(window_);
    }
}

void Application::set_status_text(std::wstring_view text) {
    SetDlgItemTextW(window_, IDC_STATUS, std::wstring(text).c_str());
}

std::uintptr_t Application::start_status_timer() {
    return SetTimer(window_, STATUS_TIMER_ID, STATUS_TIMER_PERIOD_MS, nullptr);
}

void Application::stop_status_timer() { KillTimer(window_, STATUS_TIMER_ID); }

}  // namespace mendlet
