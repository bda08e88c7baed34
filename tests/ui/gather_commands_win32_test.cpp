// Adding parts through the real main window: the open dialog, the folder browser, dropped
// files, the command line and list files, on real folders and files.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "join/status_line.h"
#include "lang/text_format.h"
#include "lang/text_names.h"
#include "res/resource.h"
#include "support/dropped_files_win32.h"
#include "support/par2_packets.h"
#include "support/part_paths.h"
#include "support/symbolic_link_win32.h"
#include "support/temp_folder_win32.h"
#include "ui/application_win32.h"
#include "ui/window_text_win32.h"

namespace mendlet {
namespace {

using test_support::operator+;
using test_support::Bytes;
using test_support::paths_of;
using test_support::read_file;
using test_support::SymbolicLink;
using test_support::TempFolder;
using Paths = std::vector<std::wstring>;

// A drop of the paths at a point of the window's client area, as the shell hands it over.
HDROP make_drop(const Paths& paths, POINT point) {
    const std::vector<char> drop = test_support::dropped_files(paths, point);
    const HGLOBAL memory = GlobalAlloc(GHND, drop.size());
    std::copy(drop.begin(), drop.end(), static_cast<char*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class GatherTest : public ::testing::Test {
protected:
    GatherTest() {
        application.key_held = [this](int key) { return held.count(key) != 0; };
        application.open_file_name = [this](OPENFILENAMEW& dialog) {
            last_dialog = dialog;
            if (answer.empty()) return false;
            std::copy(answer.begin(), answer.end(), dialog.lpstrFile);
            return true;
        };
        application.message_box = [this](HWND, const wchar_t* text, const wchar_t*, UINT) {
            boxes.emplace_back(text);
            return IDOK;
        };
        window = application.create_window();
        rows = GetDlgItem(window, IDC_PART_LIST);
    }

    // The open dialog's answer: one path, or a folder and names, each ended by a NUL.
    void choose(const Paths& chosen) {
        answer.clear();
        for (const std::wstring& part : chosen) answer += part + L'\0';
        answer += L'\0';
    }

    void command(int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    std::wstring status() const { return window_text(GetDlgItem(window, IDC_STATUS)); }
    std::wstring count_text(int message, int count) {
        return format_text(application.texts().messages[static_cast<std::size_t>(message)], {count});
    }

    // Red and until the list changes, in place of the count.
    void expect_missing_named(const wchar_t* name) {
        EXPECT_EQ(status(), format_text(application.texts().messages[28], {name}));
        EXPECT_EQ(application.status().status_colour(), COLOUR_ERROR);
        EXPECT_TRUE(application.status().status_persistent());
    }

    Paths in_folder(const Paths& names) const {
        Paths paths;
        for (const std::wstring& name : names) paths.push_back(folder.file(name));
        return paths;
    }

    // x.000 to x.003, x.005 and x.0a2: parts 1 to 3, x.004 missing before x.005, and what
    // the loader must leave alone.
    void write_set() {
        for (const wchar_t* name : {L"x.000", L"x.001", L"x.002", L"x.005", L"x.0a2"}) folder.write(name, "12345");
        folder.write(L"x.003", "123");
    }

    POINT row_centre(int row) const {
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(rows, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
        POINT centre{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
        MapWindowPoints(rows, window, &centre, 1);
        return centre;
    }

    void drop(const Paths& paths, POINT point) {
        SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(make_drop(paths, point)), 0);
    }

    TempFolder folder;
    Application application{GetModuleHandleW(nullptr)};
    HWND window = nullptr;
    HWND rows = nullptr;
    std::set<int> held;
    std::wstring answer;
    OPENFILENAMEW last_dialog{};
    Paths boxes;
};

TEST_F(GatherTest, OneChosenFileIntoAnEmptyListBringsItsSiblings) {
    write_set();
    choose({folder.file(L"x.001")});
    command(IDC_ADD_FILES);
    EXPECT_EQ(paths_of(application.list()), in_folder({L"x.001", L"x.002", L"x.003"}));
    EXPECT_EQ(application.list().last()->size, 3u);
    expect_missing_named(L"x.004");
    EXPECT_EQ(SendMessageW(rows, LVM_GETITEMCOUNT, 0, 0), 3);
    // Room for the longest path the system takes, and its NUL.
    EXPECT_EQ(last_dialog.nMaxFile, 32768u);
    EXPECT_EQ(last_dialog.Flags & (OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST),
              static_cast<DWORD>(OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST));

    // Into a list that is not empty the same file comes alone, without a count, and the
    // message about the gap gives way.
    command(IDC_ADD_FILES);
    EXPECT_EQ(application.list().count(), 4u);
    EXPECT_EQ(status(), application.texts().messages[3]);

    // Past a gap that a recovery set beside the parts can rebuild, in blue; not past one
    // it holds too few recovery slices for (x.004 is two slices of 4 bytes).
    command(IDC_REMOVE_ALL);
    const Bytes five{'1', '2', '3', '4', '5'};
    const test_support::HandMadeSet set(
        4, {{"x.001", five}, {"x.002", five}, {"x.003", {'1', '2', '3'}}, {"x.004", five}, {"x.005", five}}, 5);
    for (const std::size_t held : {2, 1}) {
        Bytes packets = set.index();
        for (std::uint32_t exponent = 0; exponent < held; ++exponent) packets = packets + set.recovery(exponent);
        folder.write(L"x.par2", std::string(packets.begin(), packets.end()));
        command(IDC_ADD_FILES);
        if (held == 2) {
            EXPECT_EQ(paths_of(application.list()), in_folder({L"x.001", L"x.002", L"x.003", L"x.005"}));
            EXPECT_EQ(status(),
                      format_text(application.texts().messages[MSG_MISSING_REBUILDABLE], {L"x.004", L"x.par2"}));
            EXPECT_EQ(application.status().status_colour(), COLOUR_INFO);
        } else {
            EXPECT_EQ(paths_of(application.list()), in_folder({L"x.001", L"x.002", L"x.003"}));
            expect_missing_named(L"x.004");
        }
        command(IDC_REMOVE_ALL);
    }

    // With no later part in the folder the count is told.
    ASSERT_TRUE(DeleteFileW(folder.file(L"x.005").c_str()));
    command(IDC_ADD_FILES);
    EXPECT_EQ(application.list().count(), 3u);
    EXPECT_EQ(status(), count_text(14, 3));
    EXPECT_EQ(application.status().status_colour(), COLOUR_INFO);
}

TEST_F(GatherTest, ShiftInvertsTheSettingAndAMultipleChoiceNeverLoadsSiblings) {
    write_set();
    choose({folder.file(L"x.001")});
    held = {VK_SHIFT};
    command(IDC_ADD_FILES);
    EXPECT_EQ(paths_of(application.list()), in_folder({L"x.001"}));

    command(IDC_REMOVE_ALL);
    application.settings().disable_auto_load = true;
    command(IDC_ADD_FILES);
    EXPECT_EQ(application.list().count(), 3u);

    command(IDC_REMOVE_ALL);
    held.clear();
    command(IDC_ADD_FILES);
    EXPECT_EQ(application.list().count(), 1u);

    command(IDC_REMOVE_ALL);
    application.settings().disable_auto_load = false;
    choose({folder.path(), L"x.002", L"x.001"});
    command(IDC_ADD_FILES);
    EXPECT_EQ(paths_of(application.list()), in_folder({L"x.001", L"x.002"}));
    EXPECT_EQ(status(), count_text(13, 2));
}

// With 11 and more entries the list is shown once at the end, all of it, in sorted order.
TEST_F(GatherTest, ManyChosenFilesAreSortedInAndAllShown) {
    Paths chosen{folder.path()};
    for (int number = 14; number >= 1; --number) {
        wchar_t name[16];
        swprintf(name, 16, L"f.%03d", number);
        folder.write(name, "1234");
        chosen.emplace_back(name);
    }
    choose(chosen);
    command(IDC_ADD_FILES);
    ASSERT_EQ(application.list().count(), 14u);
    EXPECT_EQ(application.list().first()->path, folder.file(L"f.001"));
    EXPECT_EQ(application.list().last()->path, folder.file(L"f.014"));
    EXPECT_EQ(SendMessageW(rows, LVM_GETITEMCOUNT, 0, 0), 14);
    EXPECT_EQ(status(), count_text(13, 14));
}

// The error stays on the part, whatever order the parts come in: the statuses are
// evaluated once the whole set is listed.
TEST_F(GatherTest, FileThatCannotBeReadIsListedWithAnError) {
    folder.write(L"x.001", "12345");
    folder.write(L"x.003", "12");
    const std::wstring locked = folder.write(L"x.002", "12345");
    const HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    choose({locked});
    command(IDC_ADD_FILES);
    EXPECT_EQ(status(), application.texts().messages[10]);
    command(IDC_REMOVE_ALL);
    choose({folder.path(), L"x.003", L"x.002", L"x.001"});
    command(IDC_ADD_FILES);
    CloseHandle(holder);
    ASSERT_EQ(paths_of(application.list()), in_folder({L"x.001", L"x.002", L"x.003"}));
    EXPECT_EQ(application.list().at(1)->status, STATUS_CANNOT_READ);
    EXPECT_EQ(application.list().at(1)->size, 0u);
}

TEST_F(GatherTest, DroppedFilesGoAfterTheRowInReverseOrder) {
    CheckDlgButton(window, IDC_AUTO_SORT, BST_UNCHECKED);
    for (const wchar_t* name : {L"A", L"B", L"C", L"D"})
        application.list().add_part(NO_POSITION, false, folder.file(name), 0, STATUS_OK, false);
    application.refresh_list();
    const std::wstring x = folder.write(L"X", "x");
    const std::wstring y = folder.write(L"Y", "y");
    drop({x, y}, row_centre(2));
    EXPECT_EQ(paths_of(application.list()), in_folder({L"A", L"B", L"C", L"Y", L"X", L"D"}));
    EXPECT_EQ(status(), count_text(13, 2));

    // Outside the list, at the end; an item that does not exist is skipped.
    RECT status_place;
    GetWindowRect(GetDlgItem(window, IDC_STATUS), &status_place);
    POINT below{status_place.left + 2, status_place.top + 2};
    ScreenToClient(window, &below);
    drop({x, folder.file(L"gone")}, below);
    EXPECT_EQ(application.list().count(), 7u);
    EXPECT_EQ(application.list().last()->path, x);

    // A dropped folder's files go in one after another after the row, too.
    ASSERT_TRUE(CreateDirectoryW(folder.file(L"more").c_str(), nullptr));
    folder.write(L"more\\m1", "1");
    folder.write(L"more\\m2", "2");
    drop({folder.file(L"more")}, row_centre(0));
    const Paths listed = paths_of(application.list());
    ASSERT_EQ(listed.size(), 9u);
    EXPECT_EQ(listed[0], folder.file(L"A"));
    EXPECT_EQ(std::set<std::wstring>(listed.begin() + 1, listed.begin() + 3),
              (std::set<std::wstring>{folder.file(L"more\\m1"), folder.file(L"more\\m2")}));
    EXPECT_EQ(listed[3], folder.file(L"B"));
}

TEST_F(GatherTest, OneDroppedFirstPartBringsItsSiblingsAndTwoComeAlone) {
    write_set();
    drop({folder.file(L"x.001")}, row_centre(0));
    EXPECT_EQ(paths_of(application.list()), in_folder({L"x.001", L"x.002", L"x.003"}));
    expect_missing_named(L"x.004");

    command(IDC_REMOVE_ALL);
    drop({folder.file(L"x.001"), folder.file(L"x.005")}, row_centre(0));
    EXPECT_EQ(paths_of(application.list()), in_folder({L"x.001", L"x.005"}));

    command(IDC_REMOVE_ALL);
    held = {VK_SHIFT};
    drop({folder.file(L"x.001")}, row_centre(0));
    EXPECT_EQ(application.list().count(), 1u);

    // A file whose name does not end in 001 comes alone.
    command(IDC_REMOVE_ALL);
    held.clear();
    drop({folder.file(L"x.002")}, row_centre(0));
    EXPECT_EQ(paths_of(application.list()), in_folder({L"x.002"}));

    // Refused during a join, and the drop is still released.
    SendMessageW(window, MSG_JOB_STARTED, 0, 0);
    drop({folder.file(L"x.003")}, row_centre(0));
    SendMessageW(window, MSG_JOB_ENDED, 0, 0);
    EXPECT_EQ(status(), application.texts().messages[5]);
    EXPECT_EQ(application.list().count(), 1u);
}

// Add Folder, a dropped folder and a folder on the command line alike: a scanned tree that
// holds numbered files gives them alone and counts the others left out; one that holds none
// gives every file. Checksum and recovery files, in any case, are neither added nor counted.
TEST_F(GatherTest, FolderScansAddTheNumberedFilesOrEveryFileWhereNoneIsNumbered) {
    struct Row {
        const wchar_t* tree;
        Paths files;
        bool recurse;
        Paths added;
        int left_out;
    };
    const Paths download{L"v.bin.nfo", L"v.bin.001",  L"README.txt",           L"v.bin.url",
                         L"v.bin.002", L"v.bin.par2", L"v.bin.vol000+01.par2", L"v.bin.vol01+02.PAR2",
                         L"v.bin.sfv", L"v.bin.003"};
    const Paths own{L"a.bin", L"b.bin", L"sub\\c.bin", L"a.md5", L"A.BIN.SFV", L"MD5SUMS", L"sub\\c.sha256"};
    const Paths nested{L"notes.txt", L"sub\\x.1", L"sub\\x.2", L"sub\\x.nfo"};
    const Row rows[] = {
        {L"download", download, false, {L"v.bin.001", L"v.bin.002", L"v.bin.003"}, 3},
        {L"own", own, false, {L"a.bin", L"b.bin"}, 0},
        {L"own", own, true, {L"a.bin", L"b.bin", L"sub\\c.bin"}, 0},
        {L"nested", nested, true, {L"sub\\x.1", L"sub\\x.2"}, 2},
        {L"nested", nested, false, {L"notes.txt"}, 0},
        {L"single", {L"x.001", L"x.nfo"}, false, {L"x.001"}, 1},
    };
    std::wstring chosen;
    std::vector<BROWSEINFOW> browsers;
    application.browse_for_folder = [&](BROWSEINFOW& browser) {
        browsers.push_back(browser);
        return ILCreateFromPathW(chosen.c_str());
    };
    const std::function<void()> ways[] = {
        [&] { command(IDC_ADD_FOLDER); },
        [&] { drop({chosen}, row_centre(0)); },
        [&] { application.add_from_command_line(L"mendlet.exe \"" + chosen + L"\""); },
    };
    application.settings().sort_by_whole_path = true;
    for (const Row& row : rows) {
        chosen = folder.file(row.tree);
        CreateDirectoryW(chosen.c_str(), nullptr);
        CreateDirectoryW((chosen + L"\\sub").c_str(), nullptr);
        Paths added;
        for (const std::wstring& name : row.files) folder.write(std::wstring(row.tree) + L"\\" + name, "12");
        for (const std::wstring& name : row.added) added.push_back(chosen + L"\\" + name);
        const int count = static_cast<int>(added.size());
        std::wstring said = application.texts().messages[3];
        if (row.left_out > 0)
            said = format_text(application.texts().messages[MSG_FILES_ADDED_LEFT_OUT], {count, row.left_out});
        else if (count > 1)
            said = count_text(13, count);
        application.settings().recurse_subfolders = row.recurse;
        for (std::size_t way = 0; way < std::size(ways); ++way) {
            SCOPED_TRACE(testing::Message()
                         << "tree " << chosen.c_str() << ", recursing " << row.recurse << ", way " << way);
            command(IDC_REMOVE_ALL);
            application.status().reset_status();
            ways[way]();
            EXPECT_EQ(paths_of(application.list()), added);
            EXPECT_EQ(application.list().last()->size, 2u);
            EXPECT_EQ(status(), said);
            EXPECT_EQ(application.status().status_colour(),
                      count > 1 || row.left_out > 0 ? COLOUR_INFO : COLOUR_NORMAL);
        }
    }
    ASSERT_EQ(browsers.size(), std::size(rows));
    EXPECT_EQ(browsers[0].hwndOwner, window);
    EXPECT_EQ(browsers[0].ulFlags, static_cast<UINT>(BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX |
                                                     BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON));

    // One chosen by itself is the user's choice.
    command(IDC_REMOVE_ALL);
    choose({folder.file(L"own\\MD5SUMS")});
    command(IDC_ADD_FILES);
    EXPECT_EQ(application.list().count(), 1u);

    // A link to the folder above is not followed, which would go round until the paths
    // overflow; a link to a file is a file.
    const SymbolicLink up(folder.file(L"own\\sub\\up"), L"..", true);
    const SymbolicLink file_link(folder.file(L"own\\sub\\d.bin"), L"c.bin", false);
    if (!up.made() || !file_link.made()) GTEST_SKIP() << "the system makes no symbolic links for this user";
    chosen = folder.file(L"own");
    application.settings().recurse_subfolders = true;
    command(IDC_REMOVE_ALL);
    command(IDC_ADD_FOLDER);
    EXPECT_EQ(paths_of(application.list()),
              in_folder({L"own\\a.bin", L"own\\b.bin", L"own\\sub\\c.bin", L"own\\sub\\d.bin"}));
    EXPECT_EQ(application.list().last()->size, 2u);
}

// A bare file name on the command line is found in the current folder, with its siblings,
// and listed with full paths.
TEST(CommandLine, BareFirstPartLoadsItsSiblingsFromTheCurrentFolder) {
    TempFolder folder;
    for (const wchar_t* name : {L"x.001", L"x.002", L"x.004"}) folder.write(name, "1234");
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));
    Application application(GetModuleHandleW(nullptr), L"mendlet.exe   x.001  ");
    const HWND window = application.create_window();
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(paths_of(application.list()), (Paths{folder.file(L"x.001"), folder.file(L"x.002")}));
    EXPECT_EQ(window_text(GetDlgItem(window, IDC_STATUS)), format_text(application.texts().messages[28], {L"x.003"}));
    EXPECT_EQ(window_text(GetDlgItem(window, IDC_OUTPUT_PATH)), folder.file(L"x"));
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_PART_LIST, LVM_GETITEMCOUNT, 0, 0), 2);
}

// From the command line the set goes in at the top, in number order, when not sorting.
TEST_F(GatherTest, CommandLineSetGoesInAtTheTopWhenNotSorting) {
    write_set();
    CheckDlgButton(window, IDC_AUTO_SORT, BST_UNCHECKED);
    application.list().add_part(NO_POSITION, false, folder.file(L"A"), 0, STATUS_OK, false);
    application.add_from_command_line(L"mendlet.exe " + folder.file(L"x.001"));
    EXPECT_EQ(paths_of(application.list()), in_folder({L"x.001", L"x.002", L"x.003", L"A"}));
}

TEST(CommandLine, SeveralPathsComeAloneAndOneThatDoesNotExistIsAnError) {
    TempFolder folder;
    const std::wstring second = folder.write(L"b.002", "1234");
    const std::wstring missing = folder.file(L"nothing.001");
    Application application(GetModuleHandleW(nullptr), L"\"C:\\Mendlet\\mendlet.exe\" \"" + missing + L"\" " + second);
    application.create_window();
    ASSERT_EQ(paths_of(application.list()), (Paths{missing, second}));
    EXPECT_EQ(application.list().first()->status, STATUS_CANNOT_READ);
    EXPECT_EQ(application.list().first()->size, 0u);
    EXPECT_EQ(application.list().last()->size, 4u);
}

TEST_F(GatherTest, ExportedListIsUtf8WithLineEndsAndImportsBack) {
    const Paths names{L"Gr\u00fc\u00dfe.avi.001", L"\u20ac \U0001D11E.avi.002", L"plain.avi.003"};
    Paths paths;
    for (const std::wstring& name : names) paths.push_back(folder.write(name, "1234"));
    CheckDlgButton(window, IDC_AUTO_SORT, BST_UNCHECKED);
    choose({folder.path(), names[0], names[1], names[2]});
    command(IDC_ADD_FILES);
    ASSERT_EQ(paths_of(application.list()), paths);

    const std::wstring list_path = folder.file(L"parts.lst");
    std::wstring suggested;
    application.save_file_name = [&](OPENFILENAMEW& dialog) {
        suggested = dialog.lpstrFile;
        EXPECT_STREQ(dialog.lpstrDefExt, L"lst");
        lstrcpynW(dialog.lpstrFile, list_path.c_str(), static_cast<int>(dialog.nMaxFile));
        return true;
    };
    application.list().at(0)->set_status(STATUS_CANNOT_READ);
    application.export_list();
    EXPECT_EQ(suggested, L"Gr\u00fc\u00dfe.avi.lst");  // never the output's own name
    std::string expected;
    for (const std::wstring& path : paths) {
        char utf8[1024];
        const int length = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8, sizeof(utf8), nullptr, nullptr);
        expected += std::string(utf8, static_cast<std::size_t>(length - 1)) + "\r\n";
    }
    EXPECT_EQ(read_file(list_path), expected);
    EXPECT_NE(expected.find("\xF0\x9D\x84\x9E"), std::string::npos);

    command(IDC_REMOVE_ALL);
    choose({list_path});
    application.import_list();
    EXPECT_EQ(paths_of(application.list()), paths);
    EXPECT_EQ(application.list().at(0)->status, STATUS_OK);
    EXPECT_EQ(status(), count_text(13, 3));
}

TEST_F(GatherTest, ImportTakesEveryLineWhateverItsEndAndAcrossPieces) {
    const std::wstring part = folder.write(L"p.001", "1234");
    std::string utf8_part(part.begin(), part.end());
    choose({folder.write(L"ends.lst", utf8_part + "\n\r\n" + utf8_part + "\r" + utf8_part)});
    application.import_list();
    EXPECT_EQ(application.list().count(), 3u);
    EXPECT_EQ(application.list().last()->size, 4u);

    // 2.5 MiB of lines, long so that there are not too many, one across each piece boundary.
    command(IDC_REMOVE_ALL);
    std::string bytes;
    std::size_t lines = 0;
    while (bytes.size() < 0x280000) bytes += "C:\\gone\\" + std::string(1000, 'x') + std::to_string(lines++) + "\r\n";
    choose({folder.write(L"long.lst", bytes)});
    application.import_list();
    ASSERT_EQ(application.list().count(), lines);
    for (std::uint32_t i = 0; i < lines; ++i)
        ASSERT_EQ(application.list().at(i)->path.size(), 1008 + std::to_wstring(i).size()) << i;
    EXPECT_TRUE(boxes.empty());

    command(IDC_REMOVE_ALL);
    choose({folder.write(L"too long.lst", std::string(0x100000, 'y') + "\r\n" + utf8_part + "\r\n")});
    application.import_list();
    EXPECT_EQ(application.list().count(), 0u);
    EXPECT_EQ(boxes, (Paths{L"Line to long! Aborting... :/"}));
}

}  // namespace
}  // namespace mendlet
