#pragma once
// The application: the main window with its controls, and the state that lives as long as
// it does (the part list, settings, texts, status line, the join job and the taskbar).

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/long_path.h"
#include "core/part_list.h"
#include "gather/part_adder_win32.h"
#include "join/join_files_win32.h"
#include "join/join_thread_win32.h"
#include "join/join_worker.h"
#include "join/status_line.h"
#include "lang/languages.h"
#include "lang/text_table.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "update/update_check_win32.h"

namespace mendlet {

class WindowJoin;

// The two job messages, and the request that runs a worker's window operation on this
// thread while the worker waits.
inline constexpr UINT MSG_JOB_STARTED = WM_APP + 1;
inline constexpr UINT MSG_JOB_ENDED = WM_APP + 2;
inline constexpr UINT MSG_RUN_REQUEST = WM_APP + 3;

// Room for the answer of the open and save dialogs: the longest path the system takes and
// its NUL, or a folder and the names chosen in it.
inline constexpr DWORD DIALOG_PATH_UNITS = LONGEST_PATH + 1;

class Application : private StatusDisplay {
public:
    // Message boxes go through here, so that tests can answer them.
    using MessageBoxFunction = std::function<int(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)>;

    // The command line's part paths are added as the window starts. The settings files and
    // the "lang" folder are beside the program's path; without one there are neither.
    explicit Application(HINSTANCE instance, std::wstring command_line = {}, std::wstring program_path = {});
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The main dialog, initialised and shown; none when it cannot be created.
    HWND create_window();
    // Creates the window and runs the message loop until it is closed; returns 0.
    int run();

    MessageBoxFunction message_box;
    // The open and save dialogs and the folder browser; tests choose files and folders here.
    std::function<bool(OPENFILENAMEW& dialog)> open_file_name;
    std::function<bool(OPENFILENAMEW& dialog)> save_file_name;
    std::function<PIDLIST_ABSOLUTE(BROWSEINFOW& browser)> browse_for_folder;
    // Whether a key (Ctrl, Shift) is held now; tests hold keys here.
    std::function<bool(int virtual_key)> key_held;
    // The user's interface language; tests choose one here.
    std::function<LANGID()> ui_language;
    // Opens a download page from the update server; tests see it here.
    std::function<void(HWND owner, const std::wstring& address)> open_address;
    // Opens one of the program's own addresses (help, web page, contact); tests see it here.
    std::function<void(HWND owner, const std::string& address)> open_own_address;
    // The shell's file manager on a file's folder, and a file in its program; called from
    // the join's worker too. Tests see the calls here.
    std::function<bool(HWND owner, const std::wstring& path)> show_in_file_manager;
    std::function<bool(HWND owner, const std::wstring& path)> open_with_program;
    // Milliseconds since the system started; tests move the clock here.
    std::function<ULONGLONG()> tick_count;
    // The window the user works in, and the flash of a taskbar button; tests choose the one
    // and see the other here.
    std::function<HWND()> foreground_window;
    std::function<void(FLASHWINFO& flash)> flash_window;
    // The update server's address, scheme and host; tests run one of their own.
    std::wstring update_server;

    HWND window() const { return window_; }
    PartList& list() { return list_; }
    Settings& settings() { return settings_; }
    TextTable& texts() { return texts_; }
    const TextTable& texts() const { return texts_; }
    const Languages& languages() const { return languages_; }
    const std::wstring& program_path() const { return program_path_; }
    StatusLine& status() { return status_; }
    JoinFlags& flags() { return flags_; }
    JoinThread& join_thread() { return join_thread_; }
    ITaskbarList3* taskbar() const { return taskbar_; }

    // The keyboard shortcuts, before the dialog manager sees the message; true when taken.
    bool take_shortcut(const MSG& message);

    // From the Join that starts a job until the window has heard that it ended: closing
    // asks first, and the commands that change the list or the output are refused.
    bool busy() const { return job_phase_ != JobPhase::idle; }
    // Join, or Stop while a job runs.
    void on_join_command();
    // Reads every part against the checksum files beside them; refused while a job runs.
    void on_check_command();
    void set_taskbar_state(TBPFLAG state);

    // The list commands; all but empty_list refuse while a join runs.
    void refresh_list();
    void update_output_path();
    void move_selected_up();
    void move_selected_down();
    void remove_selected();
    void remove_all();
    void empty_list(bool keep_status = false);
    void sort_parts();
    void on_append_checkbox();
    void browse_output();
    // Always shows where the focused part is, also during a join.
    void open_file_location();
    // Texts and enabled items of the list's context menu as it opens.
    void prepare_list_menu(HMENU popup);

    // The settings dialog; refused while a join runs.
    void open_settings();
    void open_about();
    // Adds the ".001" association when the menu shows none, removes it when it shows one.
    void toggle_association();
    // Everything a version check needs, copied: a silent one runs on a thread of its own.
    UpdateCheck update_check(bool interactive) const;
    // The folder browser as Add Folder and the settings use it; none when cancelled or the
    // folder has no file-system path.
    std::optional<std::wstring> choose_folder();

    // Language menu commands, English included; also during a join, whose worker keeps the
    // texts it started with.
    void select_language_by_command(UINT menu_id);

    // The commands that add parts; all refuse while a join runs.
    void add_files_command();
    void add_folder_command();
    // Releases the drop in every case.
    void drop_files(HDROP drop);
    void add_from_command_line(std::wstring_view command_line);
    void import_list();
    // Also during a join: it only reads the list.
    void export_list();

private:
    static INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR handle(UINT message, WPARAM wparam, LPARAM lparam);
    void initialise(HWND window);
    bool handle_command(int command);
    bool refused_during_join();
    void start_job(JobKind kind);
    bool selection_to_move();
    void after_reordering();
    HWND list_view() const;
    void on_close();
    void on_job_started();
    void on_job_ended();
    void on_digest_checkbox(int check_box);
    void toggle_always_on_top();
    void measure_hash_section();
    void toggle_hash_section();
    void create_status_font();
    void draw_status_line(const DRAWITEMSTRUCT& item) const;
    void create_taskbar();
    void set_shutdown_block(bool blocked);
    void create_tooltips();
    TTTOOLINFOW tool_record(HWND tool) const;
    bool answer_tip_request(NMTTDISPINFOW& request);
    void relay_to_tooltip(MSG& message);
    static LRESULT CALLBACK list_view_events(HWND list_view, UINT message, WPARAM wparam, LPARAM lparam);
    void paint_list_focus();
    void on_list_mouse_move(TTTOOLINFOW& tool, int x, int y);
    void place_list_tip(TTTOOLINFOW& tool, int x, int y);
    POINT keyboard_menu_place() const;
    bool show_list_menu(int x, int y);
    PartAdder part_adder();
    void finish_adding(PartAdder& adder, bool auto_loaded, bool reset_persistent_status);
    void report_added(std::uint32_t added, std::uint32_t left_out, bool auto_loaded);

    // Settings files: read once as the window starts, written when it is destroyed.
    void load_settings();
    void apply_window_state(const WindowState& state);
    void restore_window_position(std::int32_t left, std::int32_t top);
    void keep_window_on_screen();
    void save_settings();
    WindowState window_state() const;

    // Languages: found as the window starts, chosen from the settings or the interface
    // language, then by the menu; every text on the window follows.
    void select_language(std::optional<std::size_t> language);
    void apply_main_texts();
    void apply_list_texts();

    // StatusDisplay
    void set_status_text(std::wstring_view text) override;
    std::uintptr_t start_status_timer() override;
    void stop_status_timer() override;

    HINSTANCE instance_;
    std::wstring command_line_;
    std::wstring program_path_;
    HWND window_ = nullptr;
    HICON big_icon_ = nullptr;
    HICON small_icon_ = nullptr;
    HFONT status_font_ = nullptr;
    HFONT long_status_font_ = nullptr;
    int full_height_ = 0;
    int full_width_ = 0;
    int hash_section_height_ = 0;
    bool com_ready_ = false;
    UINT taskbar_created_message_ = 0;
    ITaskbarList3* taskbar_ = nullptr;
    HWND tooltip_ = nullptr;
    UINT tool_record_size_ = TTTOOLINFOW_V2_SIZE;
    WNDPROC list_view_proc_ = nullptr;
    bool list_focus_shown_ = false;
    bool hover_tracking_ = false;
    bool tip_shown_ = false;
    POINT last_mouse_{-1, -1};
    int hovered_row_ = -2;
    std::optional<std::wstring> hover_text_;
    // The last path shortened for the list view, which reads it as the request returns.
    std::wstring shown_path_;
    // The user's own output path, kept aside while append mode shows the first part.
    std::optional<std::wstring> remembered_output_path_;

    PartList list_;
    Settings settings_;
    TextTable texts_;
    // The texts a job reads, copied as it starts: a language chosen meanwhile changes only
    // the window.
    TextTable job_texts_;
    Languages languages_;
    // A language was settled by the saved settings.
    bool language_chosen_ = false;
    JoinFlags flags_;
    // Starting: Join has started the worker, which has not yet told the window. Running:
    // from then until it tells the window that the job has ended.
    enum class JobPhase { idle, starting, running };
    JobPhase job_phase_ = JobPhase::idle;
    StatusLine status_;
    Win32JoinFiles files_;
    std::unique_ptr<WindowJoin> join_window_;
    JoinContext job_;
    // Last: destroying it stops a running job and waits for it, before anything it uses goes.
    JoinThread join_thread_;
};

}  // namespace mendlet
