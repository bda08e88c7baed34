// The commands that add parts to the list: Add Files, Add Folder, dropped files, the
// command line and list files. Each ends by reporting how many parts it added and showing
// the new list once, however many it added.

#include <vector>

#include "core/long_path_win32.h"
#include "core/output_path.h"
#include "gather/command_line.h"
#include "gather/list_file_win32.h"
#include "lang/text_format.h"
#include "lang/text_names.h"
#include "res/resource.h"
#include "ui/application_win32.h"

namespace mendlet {

namespace {

OPENFILENAMEW file_dialog(HWND owner, const wchar_t* filters, wchar_t* chosen, DWORD units, DWORD flags) {
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = units;
    dialog.Flags = flags;
    return dialog;
}

bool is_folder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(file_system_path(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

PartAdder Application::part_adder() {
    return PartAdder(list_, IsDlgButtonChecked(window_, IDC_AUTO_SORT) == BST_CHECKED, settings_.sort_by_whole_path,
                     [this] { status_.show_status(texts_.messages[MSG_CANNOT_OPEN], COLOUR_ERROR, true); });
}

void Application::finish_adding(PartAdder& adder, bool auto_loaded, bool reset_persistent_status) {
    const std::uint32_t added = adder.finish();
    refresh_list();
    if (reset_persistent_status && status_.status_persistent()) status_.reset_status();
    // In place of the count, and until the list changes: the join would go without that part
    // and those after it.
    if (!adder.missing_sibling().empty())
        status_.show_status(format_text(texts_.messages[MSG_SIBLING_MISSING], {adder.missing_sibling()}), COLOUR_ERROR, false);
    else if (!adder.rebuilt_sibling().empty())
        status_.show_status(
            format_text(texts_.messages[MSG_MISSING_REBUILDABLE], {adder.rebuilt_sibling(), adder.rebuilding_set()}),
            COLOUR_INFO, false);
    else
        report_added(added, adder.left_out(), auto_loaded);
}

// A single file added says nothing, unless others were left out beside it.
void Application::report_added(std::uint32_t added, std::uint32_t left_out, bool auto_loaded) {
    const auto count = static_cast<std::int32_t>(added);
    if (left_out > 0)
        status_.show_status(format_text(texts_.messages[MSG_FILES_ADDED_LEFT_OUT], {count, static_cast<std::int32_t>(left_out)}), COLOUR_INFO,
                            true);
    else if (added >= 2)
        status_.show_status(format_text(texts_.messages[auto_loaded ? MSG_AUTO_LOADED : MSG_FILES_ADDED], {count}), COLOUR_INFO, true);
}

// One file into an empty list brings its siblings; Shift held inverts the setting.
void Application::add_files_command() {
    if (refused_during_join()) return;
    // One more unit than the dialog may fill, so that the answer always ends.
    std::vector<wchar_t> chosen(DIALOG_PATH_UNITS + 1, L'\0');
    OPENFILENAMEW dialog =
        file_dialog(window_, L"All (*.*)\0*.*\0Part 001 (*.001)\0*.001\0", chosen.data(), DIALOG_PATH_UNITS,
                    OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_DONTADDTORECENT);
    if (!open_file_name(dialog)) return;
    PartAdder adder = part_adder();
    bool auto_loaded = false;
    const std::wstring first(chosen.data());
    std::size_t at = first.size() + 1;
    if (chosen[at] != L'\0') {
        for (; at < DIALOG_PATH_UNITS && chosen[at] != L'\0'; at += wcslen(&chosen[at]) + 1)
            adder.add_path_in_folder(NO_POSITION, first, &chosen[at], SIZE_NOT_GIVEN);
    } else if (!list_.empty() || settings_.disable_auto_load != key_held(VK_SHIFT)) {
        adder.add_path(NO_POSITION, first, SIZE_NOT_GIVEN);
    } else {
        auto_loaded = adder.auto_load_siblings(NO_POSITION, first);
    }
    finish_adding(adder, auto_loaded, true);
}

std::optional<std::wstring> Application::choose_folder() {
    BROWSEINFOW browser{};
    browser.hwndOwner = window_;
    browser.ulFlags =
        BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    const PIDLIST_ABSOLUTE item = browse_for_folder(browser);
    if (item == nullptr) return std::nullopt;
    // The name comes in memory of the shell's own, as long as the path is.
    PWSTR name = nullptr;
    const bool has_path = SUCCEEDED(SHGetNameFromIDList(item, SIGDN_FILESYSPATH, &name));
    CoTaskMemFree(item);
    if (!has_path) return std::nullopt;
    std::wstring folder(name);
    CoTaskMemFree(name);
    return folder;
}

void Application::add_folder_command() {
    if (refused_during_join()) return;
    const auto folder = choose_folder();
    if (!folder) return;
    PartAdder adder = part_adder();
    for (const PartAdder::FoundFile& file : adder.scan_folder(*folder, settings_.recurse_subfolders))
        adder.add_path(NO_POSITION, file.path, file.size);
    finish_adding(adder, false, true);
}

// Dropped onto a row, the items go in right after it, the last dropped first.
void Application::drop_files(HDROP drop) {
    const UINT dropped = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    POINT point;
    if (refused_during_join() || dropped == 0 || !DragQueryPoint(drop, &point)) {
        DragFinish(drop);
        return;
    }
    ClientToScreen(window_, &point);
    RECT list_area;
    GetWindowRect(list_view(), &list_area);
    std::int32_t position = NO_POSITION;
    if (PtInRect(&list_area, point)) {
        LVHITTESTINFO hit{};
        hit.pt = point;
        ScreenToClient(list_view(), &hit.pt);
        position = static_cast<std::int32_t>(SendMessageW(list_view(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    }
    const bool auto_load = settings_.disable_auto_load == key_held(VK_SHIFT);
    PartAdder adder = part_adder();
    bool auto_loaded = false;
    for (UINT item = dropped; item-- > 0;) {
        std::wstring path(DragQueryFileW(drop, item, nullptr, 0), L'\0');
        DragQueryFileW(drop, item, path.data(), static_cast<UINT>(path.size() + 1));
        const DWORD attributes = GetFileAttributesW(file_system_path(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            for (const PartAdder::FoundFile& file : adder.scan_folder(path, settings_.recurse_subfolders)) {
                if (position != NO_POSITION) ++position;
                adder.add_path(position, file.path, file.size);
            }
        } else if (dropped == 1 && list_.empty() && auto_load) {
            auto_loaded = adder.auto_load_siblings(position, path);
        } else {
            if (position != NO_POSITION) ++position;
            adder.add_path(position, path, SIZE_NOT_GIVEN);
        }
    }
    DragFinish(drop);
    finish_adding(adder, auto_loaded, true);
}

// The paths keep their command-line order from the top of the list; one file alone brings
// its siblings unless that is switched off, and a folder is scanned as a dropped one is.
void Application::add_from_command_line(std::wstring_view command_line) {
    const std::vector<std::wstring> paths = command_line_paths(command_line);
    if (paths.empty()) return;
    PartAdder adder = part_adder();
    bool auto_loaded = false;
    std::int32_t position = 0;
    for (const std::wstring& given : paths) {
        const std::wstring path = full_path(given);
        if (is_folder(path)) {
            for (const PartAdder::FoundFile& file : adder.scan_folder(path, settings_.recurse_subfolders))
                adder.add_path(position++, file.path, file.size);
        } else if (paths.size() == 1 && !settings_.disable_auto_load) {
            auto_loaded = adder.auto_load_siblings(position, path);
        } else {
            adder.add_path(position++, path, SIZE_NOT_GIVEN);
        }
    }
    finish_adding(adder, auto_loaded, false);
}

// Refused during a join like every other change of the list: the join reads it.
void Application::import_list() {
    if (refused_during_join()) return;
    std::vector<wchar_t> chosen(DIALOG_PATH_UNITS + 1, L'\0');
    OPENFILENAMEW dialog = file_dialog(window_, L"File list (*.lst)\0*.lst\0All (*.*)\0*.*\0", chosen.data(),
                                       DIALOG_PATH_UNITS, OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    if (!open_file_name(dialog)) return;
    const HANDLE file = CreateFileW(file_system_path(chosen.data()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    PartAdder adder = part_adder();
    const ListReadEnd end = import_list_file(file, adder);
    CloseHandle(file);
    if (end == ListReadEnd::line_too_long)
        message_box(window_, L"Line to long! Aborting... :/", APP_CAPTION, MB_ICONERROR | MB_TOPMOST);
    else if (end == ListReadEnd::cannot_move_back)
        message_box(window_, L"ERROR: Unable to set file pointer. Aborting...", APP_CAPTION,
                    MB_ICONERROR | MB_TOPMOST);
    finish_adding(adder, false, true);
}

void Application::export_list() {
    const PartEntry* first = list_.first();
    if (first == nullptr) return;
    std::vector<wchar_t> chosen(DIALOG_PATH_UNITS + 1, L'\0');
    // With ".lst" added even where the output's name has an extension, so that the list never
    // takes the name the join will write.
    if (const auto base = output_base_name(first->path))
        lstrcpynW(chosen.data(), (*base + L".lst").c_str(), DIALOG_PATH_UNITS + 1);
    OPENFILENAMEW dialog = file_dialog(window_, L"File list (*.lst)\0*.lst\0", chosen.data(), DIALOG_PATH_UNITS,
                                       OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
    dialog.lpstrDefExt = L"lst";
    if (!save_file_name(dialog)) return;
    if (export_list_file(chosen.data(), list_) == ListWriteEnd::write_failed)
        message_box(window_, L"ERROR: Unable to write the list file.", APP_CAPTION, MB_ICONERROR | MB_TOPMOST);
}

}  // namespace mendlet
