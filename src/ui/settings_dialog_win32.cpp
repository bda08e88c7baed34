// The settings dialog: edits the settings in memory; the files are written at exit.

#include <array>

#include "core/list_checks.h"
#include "res/resource.h"
#include "ui/application_win32.h"
#include "ui/dialog_position_win32.h"
#include "ui/menu_items_win32.h"
#include "ui/window_text_win32.h"

namespace mendlet {

namespace {

// The control of each settings text from the first on; the caption takes text 0.
constexpr std::array<int, 19> TEXT_CONTROLS = {
    IDC_TESTS_GROUP,       IDC_TEST_MISSING_ON_LOAD,   IDC_TEST_SIZE_ON_LOAD,     IDC_TEST_MISSING_BEFORE_JOIN,
    IDC_TEST_SIZE_BEFORE_JOIN, IDC_FILE_LIST_GROUP,    IDC_SORT_LAST_NUMBER,      IDC_REMOVE_ALL_AFTER_JOIN,
    IDC_DISABLE_AUTO_LOAD, IDC_RECURSE_SUBFOLDERS,     IDC_GENERAL_GROUP,         IDC_REMEMBER_POSITION,
    IDC_USE_RECYCLE_BIN,   IDC_OUTPUT_PATH_GROUP,      IDC_SAME_AS_INPUT,         IDC_USE_CUSTOM_PATH,
    IDOK,                  IDCANCEL,                   IDC_CHECK_VERSION_ON_START};

// A check box and its setting; inverted boxes state the option whose negation is stored.
struct SettingBox {
    int control;
    bool Settings::*field;
    bool inverted;
};

constexpr std::array<SettingBox, 11> SETTING_BOXES = {{
    {IDC_TEST_MISSING_ON_LOAD, &Settings::skip_missing_test_on_load, true},
    {IDC_TEST_SIZE_ON_LOAD, &Settings::skip_size_test_on_load, true},
    {IDC_TEST_MISSING_BEFORE_JOIN, &Settings::test_missing_before_join, false},
    {IDC_TEST_SIZE_BEFORE_JOIN, &Settings::test_size_before_join, false},
    {IDC_SORT_LAST_NUMBER, &Settings::sort_by_whole_path, true},
    {IDC_REMOVE_ALL_AFTER_JOIN, &Settings::remove_all_after_join, false},
    {IDC_DISABLE_AUTO_LOAD, &Settings::disable_auto_load, false},
    {IDC_RECURSE_SUBFOLDERS, &Settings::recurse_subfolders, false},
    {IDC_REMEMBER_POSITION, &Settings::remember_window_position, false},
    {IDC_USE_RECYCLE_BIN, &Settings::use_recycle_bin, false},
    {IDC_CHECK_VERSION_ON_START, &Settings::check_version_on_start, false},
}};

void apply_settings_texts(HWND dialog, const TextTable& texts) {
    SetWindowTextW(dialog, texts.settings[0]);
    for (std::size_t i = 0; i < TEXT_CONTROLS.size(); ++i) SetDlgItemTextW(dialog, TEXT_CONTROLS[i], texts.settings[i + 1]);
}

void enable_custom_path(HWND dialog, bool enabled) {
    EnableWindow(GetDlgItem(dialog, IDC_CUSTOM_PATH), enabled);
    EnableWindow(GetDlgItem(dialog, IDC_BROWSE_CUSTOM_PATH), enabled);
}

class SettingsDialog {
public:
    explicit SettingsDialog(Application& app) : app_(app), settings_(app.settings()) {}

    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        auto* self = reinterpret_cast<SettingsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (self == nullptr) return FALSE;
        if (message == WM_INITDIALOG) {
            self->dialog_ = dialog;
            self->initialise();
            return TRUE;
        }
        return message == WM_COMMAND && self->command(LOWORD(wparam));
    }

private:
    void initialise() {
        centre_over(dialog_, app_.window());
        apply_settings_texts(dialog_, app_.texts());
        for (const SettingBox& box : SETTING_BOXES)
            CheckDlgButton(dialog_, box.control, (settings_.*box.field != box.inverted) ? BST_CHECKED : BST_UNCHECKED);
        const bool custom = settings_.use_custom_output_path && !settings_.custom_output_path.empty();
        CheckRadioButton(dialog_, IDC_SAME_AS_INPUT, IDC_USE_CUSTOM_PATH, custom ? IDC_USE_CUSTOM_PATH : IDC_SAME_AS_INPUT);
        enable_custom_path(dialog_, custom);
        SetDlgItemTextW(dialog_, IDC_CUSTOM_PATH, settings_.custom_output_path.c_str());
    }

    bool command(int id) {
        switch (id) {
            case IDC_SAME_AS_INPUT:
            case IDC_USE_CUSTOM_PATH:
                enable_custom_path(dialog_, IsDlgButtonChecked(dialog_, IDC_USE_CUSTOM_PATH) == BST_CHECKED);
                return true;
            case IDC_BROWSE_CUSTOM_PATH:
                if (const auto folder = app_.choose_folder()) SetDlgItemTextW(dialog_, IDC_CUSTOM_PATH, folder->c_str());
                return true;
            case IDOK:
                save();
                EndDialog(dialog_, IDOK);
                return true;
            case IDCANCEL:
                EndDialog(dialog_, IDCANCEL);
                return true;
            default:
                return false;
        }
    }

    // Only a change of the on-load tests re-evaluates the list, and only a change of the
    // sort mode re-sorts it.
    void save() {
        Settings chosen = settings_;
        for (const SettingBox& box : SETTING_BOXES)
            chosen.*box.field = (IsDlgButtonChecked(dialog_, box.control) == BST_CHECKED) != box.inverted;
        chosen.custom_output_path = window_text(GetDlgItem(dialog_, IDC_CUSTOM_PATH));
        chosen.use_custom_output_path =
            IsDlgButtonChecked(dialog_, IDC_USE_CUSTOM_PATH) == BST_CHECKED && !chosen.custom_output_path.empty();
        const bool tests_on_load_changed = chosen.skip_missing_test_on_load != settings_.skip_missing_test_on_load ||
                                           chosen.skip_size_test_on_load != settings_.skip_size_test_on_load;
        const bool sort_mode_changed = chosen.sort_by_whole_path != settings_.sort_by_whole_path;
        // The tests, then the sort mode, as each takes effect at once with those before it.
        settings_.skip_missing_test_on_load = chosen.skip_missing_test_on_load;
        settings_.skip_size_test_on_load = chosen.skip_size_test_on_load;
        if (tests_on_load_changed) {
            evaluate_statuses(app_.list(), true, settings_);
            app_.refresh_list();
        }
        settings_.test_missing_before_join = chosen.test_missing_before_join;
        settings_.test_size_before_join = chosen.test_size_before_join;
        settings_.sort_by_whole_path = chosen.sort_by_whole_path;
        if (sort_mode_changed && IsDlgButtonChecked(app_.window(), IDC_AUTO_SORT) == BST_CHECKED) app_.sort_parts();
        settings_ = chosen;
        set_menu_checked(app_.window(), IDM_REMOVE_ALL_AFTER_JOIN, settings_.remove_all_after_join);
    }

    Application& app_;
    Settings& settings_;
    HWND dialog_ = nullptr;
};

}  // namespace

void Application::open_settings() {
    if (refused_during_join()) return;
    SettingsDialog dialog(*this);
    DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_SETTINGS), window_, SettingsDialog::procedure,
                    reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace mendlet
