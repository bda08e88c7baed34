// Joins from the real main window that meet trouble on real files: a disk that fills up, a
// disk that cannot be written, parts that another program holds or that are gone, and the
// limits of names, numbers and sizes (folders deeper than MAX_PATH, characters beyond the
// Basic Multilingual Plane, 999 parts, a part over 4 GiB). Each test checks what the user
// is told and what is left on disk.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "join/status_line.h"
#include "join/temporary_output.h"
#include "lang/text_format.h"
#include "res/resource.h"
#include "support/part_paths.h"
#include "support/program_win32.h"
#include "support/remote_window_win32.h"
#include "support/temp_folder_win32.h"
#include "support/test_data.h"
#include "ui/application_win32.h"
#include "ui/window_text_win32.h"

namespace mendlet {
namespace {

using test_support::names_in;
using test_support::paths_of;
using test_support::read_file;
using test_support::TempFolder;

constexpr DWORD JOB_TIME_LIMIT_MS = 20000;
constexpr std::uint64_t FOUR_GIB = std::uint64_t{1} << 32;
// The test session mounts disks of a few MiB; a folder on a disk this large is not one.
constexpr std::uint64_t SMALL_DISK_LIMIT = std::uint64_t{64} << 20;

struct Box {
    std::wstring text;
    std::wstring caption;
    UINT style;
};

std::string random_text(std::size_t size, std::uint64_t seed) {
    const std::vector<std::uint8_t> bytes = test_support::random_bytes(size, seed);
    return std::string(bytes.begin(), bytes.end());
}

// Parts name.001, name.002, ... as they were written.
struct PartSet {
    std::vector<std::wstring> paths;
    std::vector<std::string> contents;

    // The first `parts` parts one after another.
    std::string joined(std::size_t parts) const {
        std::string bytes;
        for (std::size_t i = 0; i < parts; ++i) bytes += contents[i];
        return bytes;
    }
    std::string joined() const { return joined(contents.size()); }
};

// Each part of its own bytes; the name may lead through sub-folders of the folder.
PartSet write_parts(const TempFolder& where, const std::wstring& name, const std::vector<std::size_t>& sizes) {
    PartSet set;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        wchar_t number[8];
        std::swprintf(number, 8, L".%03u", static_cast<unsigned>(i + 1));
        set.contents.push_back(random_text(sizes[i], i + 1));
        set.paths.push_back(where.write(name + number, set.contents.back()));
    }
    return set;
}

// A folder beside the tests that the test session mounts as a small file system of its
// own; none where it is not one (mounting needs rights the machine may not give).
std::optional<std::wstring> test_disk(const wchar_t* name) {
    std::wstring path = test_support::built_program_path();
    path.replace(path.find_last_of(L'\\') + 1, std::wstring::npos, name);
    ULARGE_INTEGER total{};
    if (!GetDiskFreeSpaceExW(path.c_str(), nullptr, &total, nullptr) || total.QuadPart > SMALL_DISK_LIMIT)
        return std::nullopt;
    return path;
}

// How wide a text paints in a control's font.
LRESULT text_width(HWND control, const std::wstring& text) {
    const HDC dc = GetDC(control);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::uint64_t file_size(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return ~std::uint64_t{0};
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// A file of the given size that holds the pieces at their offsets and a hole elsewhere.
bool write_sparse(const std::wstring& path, std::uint64_t size,
                  const std::vector<std::pair<std::uint64_t, std::string>>& pieces) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    for (const auto& [offset, bytes] : pieces) {
        at.QuadPart = static_cast<LONGLONG>(offset);
        DWORD written = 0;
        ok = ok && SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
             WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size();
    }
    CloseHandle(file);
    return ok;
}

// count bytes from offset on; fewer when the file ends before.
std::string read_range(const std::wstring& path, std::uint64_t offset, std::uint32_t count) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(count, '\0');
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) || !ReadFile(file, bytes.data(), count, &read, nullptr))
        read = 0;
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// Removes a folder with everything in it. The shell's removal that TempFolder uses leaves
// folders deeper than MAX_PATH behind, and takes seconds over a thousand files.
void remove_folder(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                remove_folder(path + L"\\" + name);
            else
                DeleteFileW((path + L"\\" + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

// Takes all the room left on a disk with one file.
void fill_up(const std::wstring& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::vector<char> zeros(1 << 20);
    DWORD written = 0;
    for (DWORD size = 1 << 20; size > 0; size /= 2) {
        while (WriteFile(file, zeros.data(), size, &written, nullptr) && written == size) {
        }
    }
    CloseHandle(file);
}

struct RemovedAtEnd {
    std::wstring path;
    ~RemovedAtEnd() { remove_folder(path); }
};

// A path as a list file holds it; the test's own folders are named in ASCII.
std::string utf8_of_ascii(const std::wstring& text) {
    std::string bytes;
    for (const wchar_t c : text) bytes.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return bytes;
}

class JoinFaultTest : public ::testing::Test {
protected:
    JoinFaultTest() {
        application.message_box = [this](HWND, const wchar_t* text, const wchar_t* caption, UINT style) {
            boxes.push_back({text, caption, style});
            return answer;
        };
        window = application.create_window();
    }

    // As the shell passes them; one path alone brings its siblings.
    void add_from_command_line(const std::vector<std::wstring>& paths) {
        std::wstring line = L"mendlet.exe";
        for (const std::wstring& path : paths) line += L" \"" + path + L"\"";
        application.add_from_command_line(line);
    }

    void command(int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    void tick(int check_box) {
        CheckDlgButton(window, check_box, BST_CHECKED);
        command(check_box);
    }

    void output_to_folder(const std::wstring& folder_path) {
        application.settings().use_custom_output_path = true;
        application.settings().custom_output_path = folder_path;
    }

    // Presses Join; true when the job has ended within the time.
    bool join(DWORD milliseconds = JOB_TIME_LIMIT_MS) {
        command(IDC_JOIN);
        return test_support::becomes_true_pumping([this] { return !application.join_thread().alive(); },
                                                  milliseconds);
    }

    // The open and save dialogs answer with this path.
    void choose_in_dialogs(const std::wstring& path) {
        const auto choose = [path](OPENFILENAMEW& dialog) {
            std::copy(path.begin(), path.end(), dialog.lpstrFile);
            dialog.lpstrFile[path.size()] = L'\0';
            return true;
        };
        application.open_file_name = choose;
        application.save_file_name = choose;
    }

    std::wstring text_of(int control) const { return window_text(GetDlgItem(window, control)); }

    // The text the list view shows in a cell, as the window answers it.
    std::wstring cell(int row, int column) const {
        return test_support::list_cell(GetDlgItem(window, IDC_PART_LIST), row, column);
    }

    void expect_status(std::size_t message, Colour colour) {
        EXPECT_EQ(text_of(IDC_STATUS), application.texts().messages[message]);
        EXPECT_EQ(application.status().status_colour(), colour);
    }

    void expect_row_marked(std::uint32_t row, std::int32_t status) {
        ASSERT_NE(application.list().at(row), nullptr);
        EXPECT_EQ(application.list().at(row)->status, status);
        EXPECT_EQ(cell(static_cast<int>(row), 2), application.texts().list_status_cat[2]);
    }

    // Every part still there with the bytes it was written with.
    void expect_whole(const PartSet& set) {
        for (std::size_t i = 0; i < set.paths.size(); ++i)
            EXPECT_TRUE(read_file(set.paths[i]) == set.contents[i]) << "part " << i + 1 << " changed or gone";
    }

    // A part that cannot be opened ends the job there: red "File cannot be opened!", that
    // row marked unreadable, the others as they were, and the output holding exactly the
    // parts before it, as the program documents.
    void expect_stopped_at(std::uint32_t row, const std::wstring& output) {
        expect_status(10, COLOUR_ERROR);
        expect_row_marked(row, STATUS_CANNOT_READ);
        for (std::uint32_t other = 0; other < application.list().count(); ++other) {
            if (other == row) continue;
            EXPECT_EQ(application.list().at(other)->status, STATUS_OK) << other;
        }
        expect_no_output(output);
        EXPECT_EQ(text_of(IDC_JOIN), L"&Join");
    }

    // Nothing under the output's name, and no unfinished file beside it.
    static void expect_no_output(const std::wstring& output) {
        EXPECT_FALSE(exists(output));
        EXPECT_FALSE(exists(temporary_output_path(output)));
    }

    TempFolder folder;
    Application application{GetModuleHandleW(nullptr)};
    HWND window = nullptr;
    std::vector<Box> boxes;
    int answer = IDYES;
};

FILETIME written_at(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// The output's disk fills up. An old output that the new one is to replace stays whole, with
// its time, since both exist until the end: a join that fits the disk alone fails beside it,
// and leaves no unfinished file; without the old file it fits. In append mode the first
// part, which lives on that disk, is cut back to what it was. On the full disk an export of
// the list over an older one says so and keeps the older one.
TEST_F(JoinFaultTest, AFullDiskFailsJoinsAndExportsAndLeavesTheFilesWhole) {
    const std::optional<std::wstring> disk = test_disk(L"small-disk");
    if (!disk) {
        GTEST_SKIP() << "small-disk beside the tests is no file system of its own: scripts/wine-session.sh mounts "
                        "an 8 MiB tmpfs there where mounting is allowed";
    }
    ASSERT_NE(window, nullptr);
    const TempFolder on_disk(*disk);

    const PartSet set = write_parts(folder, L"movie.avi", {3 << 19, 3 << 19, 3 << 19});
    output_to_folder(on_disk.path());
    add_from_command_line({set.paths[0]});
    const std::wstring output = on_disk.file(L"movie.avi");
    ASSERT_EQ(text_of(IDC_OUTPUT_PATH), output);
    const std::string old = random_text(5 << 20, 6);
    ASSERT_TRUE(on_disk.write(L"movie.avi", old) == output);
    const FILETIME old_time = written_at(output);
    // With digests the failure also has to end the digest thread.
    command(IDM_DISABLE_HASH);
    tick(IDC_CRC32_CHECK);
    tick(IDC_MD5_CHECK);

    ASSERT_TRUE(join());
    ASSERT_EQ(boxes.size(), 1u);  // Yes to replace the old output
    expect_status(12, COLOUR_ERROR);
    EXPECT_EQ(text_of(IDC_CRC32_VALUE), L"");
    EXPECT_EQ(text_of(IDC_MD5_VALUE), L"");
    for (const PartEntry& entry : application.list()) EXPECT_EQ(entry.status, STATUS_OK);
    expect_whole(set);
    EXPECT_TRUE(read_file(output) == old);
    const FILETIME time_now = written_at(output);
    EXPECT_EQ(CompareFileTime(&old_time, &time_now), 0);
    EXPECT_FALSE(exists(temporary_output_path(output)));

    ASSERT_TRUE(DeleteFileW(output.c_str()));
    ASSERT_TRUE(join());
    expect_status(6, COLOUR_INFO);
    EXPECT_TRUE(read_file(output) == set.joined());
    ASSERT_TRUE(DeleteFileW(output.c_str()));

    command(IDC_REMOVE_ALL);
    const std::string first = random_text(5 << 20, 7);
    const std::wstring first_path = on_disk.write(L"data.bin.001", first);
    const std::string second = random_text(4 << 20, 8);
    const std::wstring second_path = folder.write(L"data.bin.002", second);
    add_from_command_line({first_path, second_path});
    ASSERT_EQ(application.list().count(), 2u);
    tick(IDC_APPEND_TO_FIRST);
    ASSERT_EQ(text_of(IDC_OUTPUT_PATH), first_path);

    ASSERT_TRUE(join());
    expect_status(12, COLOUR_ERROR);
    EXPECT_TRUE(read_file(first_path) == first);
    EXPECT_TRUE(read_file(second_path) == second);
    for (const PartEntry& entry : application.list()) EXPECT_EQ(entry.status, STATUS_OK);

    const std::string older_list = "C:\\older\\film.avi.001\r\n";
    const std::wstring list_file = on_disk.write(L"parts.lst", older_list);
    fill_up(on_disk.file(L"filler"));
    choose_in_dialogs(list_file);
    boxes.clear();
    command(IDM_EXPORT_LIST);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"ERROR: Unable to write the list file.");
    EXPECT_TRUE(read_file(list_file) == older_list);
    std::vector<std::wstring> names = names_in(on_disk.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"data.bin.001", L"filler", L"parts.lst"}));
}

// A disk mounted read-only takes no new output, keeps an existing file as it was even
// when the user agrees to replace it, and has no first part that can be appended to.
TEST_F(JoinFaultTest, AReadOnlyDiskTakesNoOutputAndKeepsItsFile) {
    const std::optional<std::wstring> disk = test_disk(L"read-only-disk");
    if (!disk) {
        GTEST_SKIP() << "read-only-disk beside the tests is no file system of its own: scripts/wine-session.sh "
                        "mounts a read-only tmpfs there where mounting is allowed";
    }
    ASSERT_NE(window, nullptr);
    const std::wstring old_file = *disk + L"\\old.bin";
    const std::optional<std::string> old_bytes = read_file(old_file);
    ASSERT_TRUE(old_bytes.has_value()) << "the session puts old.bin on the read-only disk";

    const PartSet set = write_parts(folder, L"x.bin", {5000, 3000});
    output_to_folder(*disk);
    add_from_command_line({set.paths[0]});
    const std::wstring output = *disk + L"\\x.bin";
    ASSERT_EQ(text_of(IDC_OUTPUT_PATH), output);
    ASSERT_TRUE(join());
    expect_status(11, COLOUR_ERROR);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(exists(output));

    SetDlgItemTextW(window, IDC_OUTPUT_PATH, old_file.c_str());
    ASSERT_TRUE(join());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, application.texts().messages[15]);
    expect_status(11, COLOUR_ERROR);
    EXPECT_TRUE(read_file(old_file) == old_bytes);

    command(IDC_REMOVE_ALL);
    add_from_command_line({old_file, set.paths[1]});
    tick(IDC_APPEND_TO_FIRST);
    ASSERT_TRUE(join());
    expect_status(10, COLOUR_ERROR);
    expect_row_marked(0, STATUS_CANNOT_WRITE);
    EXPECT_TRUE(read_file(old_file) == old_bytes);
    expect_whole(set);
}

// Another program holds the second part open without sharing it (the test's own handle
// stands in for it). Once it lets go, the next Join finds no output to ask about and joins
// the whole file.
TEST_F(JoinFaultTest, APartHeldByAnotherProgramStopsTheJoinThere) {
    ASSERT_NE(window, nullptr);
    const PartSet set = write_parts(folder, L"a.bin", {100000, 100000, 60000});
    add_from_command_line({set.paths[0]});
    ASSERT_EQ(paths_of(application.list()), set.paths);
    const std::wstring output = folder.file(L"a.bin");
    const HANDLE held =
        CreateFileW(set.paths[1].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    const bool ended = join();
    CloseHandle(held);
    ASSERT_TRUE(ended);
    EXPECT_TRUE(boxes.empty());
    expect_stopped_at(1, output);
    expect_whole(set);

    ASSERT_TRUE(join());
    EXPECT_TRUE(boxes.empty());
    expect_status(6, COLOUR_INFO);
    EXPECT_TRUE(read_file(output) == set.joined());
}

// The old output is open in another program that shares nothing: the joined file cannot
// take its name, so it stays whole under its own, shown, and the status line says where.
TEST_F(JoinFaultTest, AnOutputHeldOpenKeepsTheJoinedFileUnderItsOwnName) {
    ASSERT_NE(window, nullptr);
    const PartSet set = write_parts(folder, L"d.bin", {70000, 500});
    add_from_command_line({set.paths[0]});
    const std::wstring output = folder.write(L"d.bin", "the old output");
    const HANDLE held = CreateFileW(output.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    const bool ended = join();
    CloseHandle(held);
    ASSERT_TRUE(ended);
    ASSERT_EQ(boxes.size(), 1u);  // Yes to replace it
    const std::wstring kept = temporary_output_path(output);
    EXPECT_EQ(text_of(IDC_STATUS), std::wstring(application.texts().messages[11]) + L" The joined file is kept as \"" +
                                       kept + L"\".");
    EXPECT_EQ(application.status().status_colour(), COLOUR_ERROR);
    EXPECT_TRUE(read_file(output) == std::string("the old output"));
    EXPECT_TRUE(read_file(kept) == set.joined());
    EXPECT_EQ(GetFileAttributesW(kept.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    expect_whole(set);
}

// A part deleted after it was listed: the join stops there. "Delete parts", which only
// follows a successful join, deletes none of the others; in append mode the first part,
// which had grown by the parts before, gets back the size it had.
TEST_F(JoinFaultTest, APartDeletedAfterListingStopsTheJoinAndHarmsNoOtherPart) {
    ASSERT_NE(window, nullptr);
    const PartSet set = write_parts(folder, L"b.bin", {70000, 70000, 500});
    add_from_command_line({set.paths[0]});
    ASSERT_EQ(paths_of(application.list()), set.paths);
    CheckDlgButton(window, IDC_DELETE_PARTS, BST_CHECKED);
    ASSERT_TRUE(DeleteFileW(set.paths[1].c_str()));

    ASSERT_TRUE(join());
    EXPECT_TRUE(boxes.empty());
    expect_stopped_at(1, folder.file(L"b.bin"));
    EXPECT_TRUE(read_file(set.paths[0]) == set.contents[0]);
    EXPECT_TRUE(read_file(set.paths[2]) == set.contents[2]);

    command(IDC_REMOVE_ALL);
    const PartSet appended = write_parts(folder, L"c.bin", {70000, 70000, 500});
    add_from_command_line({appended.paths[0]});
    tick(IDC_APPEND_TO_FIRST);
    ASSERT_TRUE(DeleteFileW(appended.paths[2].c_str()));
    ASSERT_TRUE(join());
    EXPECT_TRUE(boxes.empty());
    expect_status(10, COLOUR_ERROR);
    expect_row_marked(2, STATUS_CANNOT_READ);
    EXPECT_TRUE(read_file(appended.paths[0]) == appended.contents[0]);
    EXPECT_TRUE(read_file(appended.paths[1]) == appended.contents[1]);
}

// Paths of more than MAX_PATH characters, from the command line and list files to the
// output. The system takes such paths exactly as written, so the program resolves what it
// resolves in others: a list file may spell the folders with "/", "." and "..".
TEST_F(JoinFaultTest, PartsInAFolderDeeperThanMaxPathAreLoadedListedAndJoined) {
    ASSERT_NE(window, nullptr);
    std::wstring deep;
    const RemovedAtEnd deep_folders{folder.file(std::wstring(60, L'a'))};
    for (wchar_t letter = L'a'; letter <= L'e'; ++letter) {
        deep += std::wstring(60, letter);
        ASSERT_TRUE(CreateDirectoryW(folder.file(deep).c_str(), nullptr));
        deep += L'\\';
    }
    const PartSet set = write_parts(folder, deep + L"long.bin", {70000, 70000, 123});
    ASSERT_GT(set.paths[0].size(), static_cast<std::size_t>(MAX_PATH));

    add_from_command_line({set.paths[0]});
    EXPECT_EQ(paths_of(application.list()), set.paths);
    // Too long for its column, the path is shortened in the middle: the drive and the part's
    // name with its number show, as the list view paints them, within the column.
    const std::wstring shown = cell(0, 0);
    EXPECT_TRUE(shown.starts_with(L"C:\\\u2026\\") && shown.ends_with(L"\\long.bin.001")) << shown;
    EXPECT_LE(text_width(GetDlgItem(window, IDC_PART_LIST), shown),
              SendDlgItemMessageW(window, IDC_PART_LIST, LVM_GETCOLUMNWIDTH, 0, 0));
    const std::wstring output = folder.file(deep + L"long.bin");
    EXPECT_EQ(text_of(IDC_OUTPUT_PATH), output);

    choose_in_dialogs(folder.file(deep + L"parts.lst"));
    command(IDM_EXPORT_LIST);
    std::string exported;
    for (const std::wstring& path : set.paths) exported += utf8_of_ascii(path) + "\r\n";
    EXPECT_TRUE(read_file(folder.file(deep + L"parts.lst")) == exported);

    ASSERT_TRUE(join());
    EXPECT_TRUE(boxes.empty());
    expect_status(6, COLOUR_INFO);
    EXPECT_TRUE(read_file(output) == set.joined());

    std::wstring tail = deep.substr(122);
    std::replace(tail.begin(), tail.end(), L'\\', L'/');
    const std::wstring spelled =
        folder.path() + L"\\" + deep.substr(0, 61) + L".\\" + deep.substr(61, 61) + L"gone\\..\\" + tail;
    std::vector<std::wstring> spelled_parts;
    std::string lines;
    for (const wchar_t* number : {L".001", L".002", L".003"}) {
        spelled_parts.push_back(spelled + L"long.bin" + number);
        lines += utf8_of_ascii(spelled_parts.back()) + "\r\n";
    }
    command(IDC_REMOVE_ALL);
    choose_in_dialogs(folder.write(L"spelled.lst", lines));
    command(IDM_IMPORT_LIST);
    EXPECT_EQ(paths_of(application.list()), spelled_parts);
    for (std::uint32_t row = 0; row < 3; ++row) {
        EXPECT_EQ(application.list().at(row)->status, STATUS_OK) << row;
        EXPECT_EQ(application.list().at(row)->size, set.contents[row].size()) << row;
    }
    // The output is found under its other spelling and replaced.
    EXPECT_EQ(text_of(IDC_OUTPUT_PATH), spelled + L"long.bin");
    ASSERT_TRUE(join());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, application.texts().messages[15]);
    expect_status(6, COLOUR_INFO);
    EXPECT_TRUE(read_file(output) == set.joined());
}

// U+1F3AC takes two UTF-16 units and four UTF-8 bytes: in a folder's and the parts' names
// it must survive the sibling search, the output name, a list file and the join.
TEST_F(JoinFaultTest, NamesBeyondTheBasicPlaneAreLoadedKeptInListFilesAndJoined) {
    ASSERT_NE(window, nullptr);
    const std::wstring clapper = L"\U0001F3AC";
    ASSERT_EQ(clapper.size(), 2u);
    const std::wstring films = clapper + L" films";
    ASSERT_TRUE(CreateDirectoryW(folder.file(films).c_str(), nullptr));
    const std::wstring name = films + L"\\" + clapper + L" clip.mkv";
    const PartSet set = write_parts(folder, name, {3000, 3000, 1000});

    add_from_command_line({set.paths[0]});
    EXPECT_EQ(paths_of(application.list()), set.paths);
    EXPECT_EQ(text_of(IDC_STATUS), format_text(application.texts().messages[14], {3}));
    const std::wstring output = folder.file(name);
    EXPECT_EQ(text_of(IDC_OUTPUT_PATH), output);

    const std::wstring list_file = folder.file(clapper + L" parts.lst");
    choose_in_dialogs(list_file);
    command(IDM_EXPORT_LIST);
    std::string expected;
    for (const char* number : {"001", "002", "003"})
        expected += utf8_of_ascii(folder.path()) + "\\\xF0\x9F\x8E\xAC films\\\xF0\x9F\x8E\xAC clip.mkv." + number +
                    "\r\n";
    EXPECT_TRUE(read_file(list_file) == expected);

    command(IDC_REMOVE_ALL);
    command(IDM_IMPORT_LIST);
    EXPECT_EQ(paths_of(application.list()), set.paths);
    EXPECT_EQ(text_of(IDC_OUTPUT_PATH), output);

    ASSERT_TRUE(join());
    EXPECT_TRUE(boxes.empty());
    expect_status(6, COLOUR_INFO);
    EXPECT_TRUE(read_file(output) == set.joined());
}

// Linux folders, and shares served from them, take 255 bytes of UTF-8 in a name, not 255
// characters: 118 Cyrillic letters with ".avi.001" fit, but the names written beside a file
// before they take its name (the unfinished join, the new list file) would not. Those go
// under short names in the same folder, and none is left behind.
TEST_F(JoinFaultTest, NamesNearTheByteLimitOfAFolderAreLoadedExportedAndJoined) {
    ASSERT_NE(window, nullptr);
    const std::wstring name = std::wstring(118, L'\u0436') + L".avi";
    const PartSet set = write_parts(folder, name, {3000, 3000, 1000});
    add_from_command_line({set.paths[0]});
    EXPECT_EQ(paths_of(application.list()), set.paths);
    const std::wstring output = folder.file(name);
    EXPECT_EQ(text_of(IDC_OUTPUT_PATH), output);

    const std::wstring list_name = std::wstring(125, L'\u0436') + L".lst";
    choose_in_dialogs(folder.file(list_name));
    command(IDM_EXPORT_LIST);
    EXPECT_TRUE(boxes.empty());
    std::string lines;
    for (const char* number : {"001", "002", "003"}) {
        lines += utf8_of_ascii(folder.path()) + "\\";
        for (int letter = 0; letter < 118; ++letter) lines += "\xD0\xB6";
        lines += std::string(".avi.") + number + "\r\n";
    }
    EXPECT_TRUE(read_file(folder.file(list_name)) == lines);

    ASSERT_TRUE(join());
    EXPECT_TRUE(boxes.empty());
    expect_status(6, COLOUR_INFO);
    EXPECT_TRUE(read_file(output) == set.joined());
    std::vector<std::wstring> left = names_in(folder.path());
    std::vector<std::wstring> made{list_name, name};
    for (const std::wstring& path : set.paths) made.push_back(path.substr(path.find_last_of(L'\\') + 1));
    std::sort(left.begin(), left.end());
    std::sort(made.begin(), made.end());
    EXPECT_EQ(left, made);
}

// Three digits number at most 999 parts: the first part brings all of them in order, and
// a part numbered 1000 is no sibling. Part 999 is then as large as the others, which the
// size test before a join points out; No writes nothing, Yes joins the 999.
TEST_F(JoinFaultTest, NineHundredNinetyNinePartsLoadInOrderAndJoinWhole) {
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(CreateDirectoryW(folder.file(L"many").c_str(), nullptr));
    const RemovedAtEnd many{folder.file(L"many")};
    const PartSet set = write_parts(folder, L"many\\many.bin", std::vector<std::size_t>(999, 16));
    folder.write(L"many\\many.bin.1000", "the rest");
    application.settings().test_size_before_join = true;

    add_from_command_line({set.paths[0]});
    EXPECT_EQ(paths_of(application.list()), set.paths);
    EXPECT_EQ(text_of(IDC_STATUS), format_text(application.texts().messages[14], {999}));
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_PART_LIST, LVM_GETITEMCOUNT, 0, 0), 999);
    for (const PartEntry& entry : application.list()) EXPECT_EQ(entry.status, STATUS_OK);
    const std::wstring output = folder.file(L"many\\many.bin");

    answer = IDNO;
    ASSERT_TRUE(join());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              std::wstring(application.texts().messages[22]) + application.texts().messages[23]);
    EXPECT_EQ(boxes[0].caption, application.texts().messages[20]);
    EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION));
    expect_status(3, COLOUR_NORMAL);
    EXPECT_FALSE(exists(output));

    answer = IDYES;
    ASSERT_TRUE(join());
    EXPECT_EQ(boxes.size(), 2u);
    expect_status(6, COLOUR_INFO);
    EXPECT_TRUE(read_file(output) == set.joined());
}

// A first part a little over 4 GiB, mostly a hole, and a small second part: the list shows
// the whole size, and a normal join puts every byte at its place across the 4 GiB mark.
TEST_F(JoinFaultTest, APartOverFourGibibytesIsListedAndJoinedAcrossTheMark) {
    ASSERT_NE(window, nullptr);
    ULARGE_INTEGER free_space{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(folder.path().c_str(), &free_space, nullptr, nullptr));
    if (free_space.QuadPart < (std::uint64_t{10} << 30)) {
        GTEST_SKIP() << "the joined file takes 4 GiB and the test wants 10 GiB free beside the temporary folder; "
                     << (free_space.QuadPart >> 20) << " MiB are";
    }
    const std::uint64_t first_size = FOUR_GIB + 69635;
    const std::string across_mark = random_text(64, 1);
    const std::string first_end = random_text(64, 2);
    const std::string second = random_text(10000, 3);
    const std::wstring first = folder.file(L"big.iso.001");
    ASSERT_TRUE(write_sparse(first, first_size, {{FOUR_GIB - 32, across_mark}, {first_size - 64, first_end}}));
    folder.write(L"big.iso.002", second);

    add_from_command_line({first});
    ASSERT_EQ(application.list().count(), 2u);
    EXPECT_EQ(application.list().at(0)->size, first_size);
    EXPECT_EQ(cell(0, 1), L"4.0 GB");
    const std::wstring output = folder.file(L"big.iso");

    ASSERT_TRUE(join(120000));
    const std::uint64_t output_size = file_size(output);
    const std::string read_across_mark = read_range(output, FOUR_GIB - 32, 64);
    const std::string read_end = read_range(output, first_size - 64, static_cast<std::uint32_t>(64 + second.size()));
    DeleteFileW(output.c_str());
    expect_status(6, COLOUR_INFO);
    EXPECT_EQ(output_size, first_size + second.size());
    EXPECT_TRUE(read_across_mark == across_mark);
    EXPECT_TRUE(read_end == first_end + second);
}

}  // namespace
}  // namespace mendlet
