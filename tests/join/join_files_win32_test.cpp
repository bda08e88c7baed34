// The join on real Windows files: what only a real file system shows (other spellings of
// a path, file times, 64-bit offsets, the Recycle Bin) and the worker thread.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cwctype>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/part_list.h"
#include "join/join_files_win32.h"
#include "join/join_thread_win32.h"
#include "join/join_worker.h"
#include "join/part_check.h"
#include "lang/text_table.h"
#include "settings/settings.h"
#include "support/faulty_join_files.h"
#include "support/par2_packets.h"
#include "support/test_data.h"
#include "support/recording_join_window.h"
#include "support/temp_folder_win32.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::FaultyJoinFiles;
using test_support::names_in;
using test_support::random_bytes;
using test_support::read_file;
using test_support::RecordingJoinWindow;
using test_support::TempFolder;

constexpr auto TIME_LIMIT = std::chrono::seconds(20);

std::string as_text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

template <typename Condition>
bool wait_for(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + TIME_LIMIT;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::uint64_t file_size(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return ~std::uint64_t{0};
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// Bytes at the end of a file.
std::string file_tail(const std::wstring& path, std::uint32_t count) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string bytes(count, '\0');
    LARGE_INTEGER from{};
    from.QuadPart = -static_cast<LONGLONG>(count);
    DWORD read = 0;
    const bool ok = file != INVALID_HANDLE_VALUE && SetFilePointerEx(file, from, nullptr, FILE_END) &&
                    ReadFile(file, bytes.data(), count, &read, nullptr) && read == count;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return ok ? bytes : std::string();
}

// A file of the given size whose last bytes are tail, the rest left as a hole.
bool write_sparse(const std::wstring& path, std::uint64_t size, const std::string& tail) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size - tail.size());
    DWORD written = 0;
    const bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                    WriteFile(file, tail.data(), static_cast<DWORD>(tail.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == tail.size();
}

class JoinOnDiskTest : public ::testing::Test {
protected:
    JoinOnDiskTest() { window.inputs.output_path = folder.file(L"joined.bin"); }

    void add(const std::wstring& name, const std::string& bytes) {
        list.add_part(NO_POSITION, false, folder.write(name, bytes), bytes.size(), STATUS_OK, false);
    }

    TempFolder folder;
    Win32JoinFiles real_files;
    FaultyJoinFiles files{real_files};
    PartList list;
    Settings settings;
    TextTable texts;
    RecordingJoinWindow window;
    JoinFlags flags;
    JoinContext job{list, settings, texts, window, files, flags};
};

// Refused at once, not after a whole join that needed room for both: an output that is a
// part however its path is written, a folder of the output's name, a read-only old output.
TEST_F(JoinOnDiskTest, AnOutputThatCannotBeReplacedIsRefusedBeforeAnyQuestion) {
    add(L"a.bin.001", "first");
    add(L"a.bin.002", "second");
    std::wstring upper = list.at(1)->path;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t c) { return std::towupper(c); });
    const std::wstring dotted = folder.path() + L"\\.\\a.bin.002";
    const std::wstring a_folder = folder.file(L"a folder.bin");
    ASSERT_TRUE(CreateDirectoryW(a_folder.c_str(), nullptr));
    const std::wstring read_only = folder.write(L"read-only.bin", "old contents");
    ASSERT_TRUE(SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_READONLY));

    for (const std::wstring& output : {upper, dotted, a_folder, read_only}) {
        window.statuses.clear();
        window.inputs.output_path = output;
        EXPECT_FALSE(run_join(job));
        ASSERT_EQ(window.statuses.size(), 1u);
        // A folder is named, for the user to choose a file name instead.
        EXPECT_EQ(window.statuses[0].text, output == a_folder ? output + L" is a folder: choose a file name for the "
                                                                          L"joined file."
                                                               : std::wstring(texts.messages[11]));
        EXPECT_TRUE(window.questions.empty());
        EXPECT_EQ(file_size(list.at(1)->path), 6u);
    }
    EXPECT_EQ(file_tail(read_only, 12), "old contents");
    EXPECT_EQ(GetFileAttributesW(folder.file(L"read-only.bin.mendlet-unfinished").c_str()), INVALID_FILE_ATTRIBUTES);
    SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(a_folder.c_str());
}

// A PAR 2.0 set read from the disk, its packets spread over a main file and a volume file
// of recovery slices: Check parts names a part cut short with the damaged slices and what
// the set holds, and the join moves the next part to its place and rebuilds the slices in
// the joined file, leaving the parts as they were.
TEST_F(JoinOnDiskTest, ARecoverySetOnDiskChecksAndRepairsThePartsItLists) {
    const std::vector<test_support::DataFile> parts{{"v.bin.001", test_support::random_bytes(9000, 1)},
                                                    {"v.bin.002", test_support::random_bytes(9000, 2)}};
    const test_support::HandMadeSet set(4096, parts, 2);
    folder.write(L"v.bin.par2", as_text(set.index()));
    folder.write(L"v.bin.vol00+02.par2", as_text(set.recovery(0)) + as_text(set.recovery(1)) + as_text(set.index()));
    for (const test_support::DataFile& part : parts) add(std::wstring(part.name.begin(), part.name.end()), as_text(part.bytes));
    window.inputs.output_path = folder.file(L"v.bin");

    run_check(job);
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, L"Parts checked: all 2 match v.bin.par2");

    const std::string cut = as_text(parts[0].bytes).substr(0, 5000);
    folder.write(L"v.bin.001", cut);
    window.statuses.clear();
    run_check(job);
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text,
              L"Parts checked: 1 of 2 does not match v.bin.par2! 2 slices are damaged; it holds 2 recovery slices.");

    window.statuses.clear();
    run_join(job);
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, L"Files joined and repaired with v.bin.par2: 2 slices rebuilt.");
    EXPECT_EQ(file_size(folder.file(L"v.bin")), 18000u);
    EXPECT_EQ(file_tail(folder.file(L"v.bin"), 18000), as_text(parts[0].bytes) + as_text(parts[1].bytes));
    EXPECT_EQ(file_size(folder.file(L"v.bin.001")), 5000u);
    EXPECT_EQ(file_tail(folder.file(L"v.bin.001"), 5000), cut);
}

TEST_F(JoinOnDiskTest, DecliningToOverwriteKeepsTheFileAndItsTime) {
    add(L"a.bin.001", "first");
    add(L"a.bin.002", "second");
    folder.write(L"joined.bin", "old contents");
    const HANDLE file = CreateFileW(window.inputs.output_path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const FILETIME old_time{0xD53E8000, 0x01C00000};  // some day in 2001
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &old_time));
    CloseHandle(file);
    window.answer = false;

    EXPECT_FALSE(run_join(job));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(window.inputs.output_path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &old_time), 0);
    EXPECT_EQ(file_tail(window.inputs.output_path, 12), "old contents");
}

TEST_F(JoinOnDiskTest, AppendsBeyondFourGigabytesAndCutsBackThere) {
    const std::uint64_t first_size = (4ull << 30) + 3;
    const std::wstring first = folder.file(L"big.bin.001");
    ASSERT_TRUE(write_sparse(first, first_size, "abc"));
    list.add_part(NO_POSITION, false, first, first_size, STATUS_OK, false);
    add(L"big.bin.002", "12345");
    window.inputs.append_to_first = true;

    EXPECT_FALSE(run_join(job));
    EXPECT_EQ(file_size(first), first_size + 5);
    EXPECT_EQ(file_tail(first, 8), "abc12345");

    // A failed write after a whole slot has gone out: the first part gets its size back.
    list.remove_part_at(1);
    add(L"big.bin.003", std::string(3u << 20, 'x'));
    files.fail_write_after = 1u << 20;
    EXPECT_FALSE(run_join(job));
    EXPECT_EQ(window.statuses.back().text, texts.messages[12]);
    EXPECT_EQ(file_size(first), first_size + 5);
    EXPECT_EQ(file_tail(first, 8), "abc12345");
}

// A sidecar per part, written as sha256sum or b3sum writes it, with the digests that those
// tools gave for these bytes (not Mendlet's own): the third part, damaged, is named with its
// own sidecar, its row is marked and nothing stays under the output's name; mended, the
// set verifies.
TEST_F(JoinOnDiskTest, ADamagedPartIsNamedWithItsOwnSidecarAndTheMendedSetVerifies) {
    const std::size_t sizes[] = {70000, 65536, 100003, 4097};
    const std::vector<std::uint8_t> bytes = random_bytes(239636, 0x5EED5107ull);
    const struct {
        std::wstring extension;
        std::string sidecars[4];
    } rows[] = {
        {L".sha256",
         {"c5251b09fc5e24727e5b463e9cefcbabfbd1d91e02c50afdc6a725c08c963633  v.bin.001\n",
          "5d2bc0227fe6bef3d645072563b8415bca21588a83d5bf72b78cf71a7357ace4  v.bin.002\n",
          "8973b13611b58326c4a9e63e802334f4ff0c0ab8ebd03b1e900f0d9dca8480ac  v.bin.003\n",
          // A bare digest, as download pages give it: the part's.
          "af4e1470014e33823233c7aab4c019bd999954e3f5ec027c06d0485429a81898\n"}},
        {L".b3",
         {"82e46f2167658bad1a19caa3f87176175d14c401a97bb7167e40ac298ba7a3af  v.bin.001\n",
          "3761709019261b60ad1a8d4d21b5286530e2c81545d6263e2c0737235a243aac  v.bin.002\n",
          "60a967fd88c58dc6565d71c48ecb0ae72518a65261a33146084c00f7656f6806  v.bin.003\n",
          "4dce5a83a105d0c9a7b5e5627e7a67adfe8c6499517961844d7dd8a8aeab2c37  v.bin.004\n"}},
    };
    for (const auto& [extension, sidecars] : rows) {
        const TempFolder set(folder.path());
        list.clear_parts();
        std::vector<std::string> parts;
        for (std::size_t i = 0, at = 0; i < 4; at += sizes[i++]) {
            const std::wstring name = L"v.bin.00" + std::to_wstring(i + 1);
            parts.emplace_back(bytes.begin() + at, bytes.begin() + at + sizes[i]);
            list.add_part(NO_POSITION, false, set.write(name, parts[i]), sizes[i], STATUS_OK, false);
            set.write(name + extension, sidecars[i]);
        }
        std::string damaged = parts[2];
        damaged[50000] ^= 0x01;
        set.write(L"v.bin.003", damaged);
        window.inputs.output_path = set.file(L"v.bin");
        std::vector<std::wstring> before = names_in(set.path());
        std::sort(before.begin(), before.end());

        run_join(job);
        ASSERT_FALSE(window.statuses.empty());
        EXPECT_EQ(window.statuses.back().text, L"v.bin.003 does not match v.bin.003" + extension + L"! Get this part again.");
        EXPECT_EQ(window.statuses.back().colour, COLOUR_ERROR);
        EXPECT_EQ(list.at(2)->status, STATUS_CHECKSUM_MISMATCH);
        // Neither the output nor an unfinished file of it.
        std::vector<std::wstring> after = names_in(set.path());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before);

        set.write(L"v.bin.003", parts[2]);
        run_join(job);
        EXPECT_EQ(window.statuses.back().text, L"Files joined and verified with v.bin.001" + extension);
        EXPECT_EQ(window.statuses.back().colour, COLOUR_INFO);
        EXPECT_TRUE(read_file(window.inputs.output_path) == std::string(bytes.begin(), bytes.end()));
    }
}

// Where Wine's shell puts what it recycles: the freedesktop trash of the home folder that
// the test session gives its Wine processes. The test removes its own files from there.
std::wstring trash_folder() {
    wchar_t data_home[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"XDG_DATA_HOME", data_home, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::wstring path = L"Z:" + std::wstring(data_home, length) + L"/Trash/";
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring text_of(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Runs the action on a thread of its own and closes every box this process shows meanwhile,
// as a user who cannot answer would; returns the boxes' texts.
std::vector<std::wstring> boxes_closed_while(const std::function<void()>& action) {
    std::atomic<bool> done{false};
    std::thread runner([&] {
        action();
        done = true;
    });
    std::vector<std::wstring> texts;
    const bool ended = wait_for([&] {
        for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box != nullptr;
             box = FindWindowExW(nullptr, box, L"#32770", nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(box, &process);
            if (process != GetCurrentProcessId() || !IsWindowVisible(box)) continue;
            std::wstring text = text_of(box);
            for (HWND part = GetWindow(box, GW_CHILD); part != nullptr; part = GetWindow(part, GW_HWNDNEXT))
                if (GetWindowTextLengthW(part) > 0) text += L" | " + text_of(part);
            texts.push_back(text);
            PostMessageW(box, WM_CLOSE, 0, 0);
        }
        return done.load();
    });
    // A box that does not close leaves the rest to the session's time limit.
    EXPECT_TRUE(ended) << "the action did not end";
    runner.join();
    return texts;
}

TEST(Win32JoinFiles, DeletesExactlyTheGivenFilesForGoodOrToTheRecycleBin) {
    TempFolder folder;
    const std::wstring stem = folder.path().substr(folder.path().find_last_of(L'\\') + 1);
    const std::wstring gone1 = folder.write(stem + L".001", "1");
    const std::wstring gone2 = folder.write(stem + L".002", "2");
    const std::wstring kept = folder.write(stem + L".003", "3");
    Win32JoinFiles files;

    EXPECT_TRUE(files.delete_files({gone1}, false));
    EXPECT_FALSE(files.delete_files({gone1}, false));
    bool recycled = false;
    for (const std::wstring& box : boxes_closed_while([&] { recycled = files.delete_files({gone2}, true); }))
        ADD_FAILURE() << "the shell asked instead of recycling: " << box;
    EXPECT_TRUE(recycled);
    EXPECT_EQ(files.existing(gone1), ExistingOutput::none);
    EXPECT_EQ(files.existing(gone2), ExistingOutput::none);
    EXPECT_EQ(files.existing(kept), ExistingOutput::file);

    const std::wstring trash = trash_folder();
    ASSERT_FALSE(trash.empty()) << "the test session gives Wine no home folder of its own";
    EXPECT_TRUE(DeleteFileW((trash + L"files\\" + stem + L".002").c_str())) << "not in the Recycle Bin";
    DeleteFileW((trash + L"info\\" + stem + L".002.trashinfo").c_str());
}

// A checked join takes each part's identity from the handle it read the part through: that
// must name the file as its path does, however the path is written, and no other file.
TEST(Win32JoinFiles, AnOpenPartIsTheFileItsPathNamesHoweverWritten) {
    TempFolder folder;
    const std::wstring part = folder.write(L"a.bin.001", "1");
    const std::wstring other = folder.write(L"a.bin.002", "2");
    const std::wstring link = folder.file(L"link.bin.001");
    ASSERT_TRUE(CreateHardLinkW(link.c_str(), part.c_str(), nullptr));
    std::wstring upper = part;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t c) { return std::towupper(c); });
    Win32JoinFiles files;
    const std::optional<FileIdentity> identity = files.identity(part);
    ASSERT_TRUE(identity.has_value());

    const struct {
        std::wstring path;
        bool same;
    } spellings[] = {
        {part, true}, {upper, true}, {folder.path() + L"\\.\\a.bin.001", true}, {link, true}, {other, false},
    };
    for (const auto& [path, same] : spellings) {
        const std::unique_ptr<JoinFile> opened = files.open_part(path);
        ASSERT_NE(opened, nullptr) << path;
        EXPECT_EQ(opened->identity() == identity, same) << path;
        EXPECT_EQ(opened->identity(), files.identity(path));
    }
}

TEST_F(JoinOnDiskTest, ExitingDuringAJobStopsTheWorkerAndWaitsForIt) {
    const std::string first(100000, 'a');
    add(L"a.bin.001", first);
    add(L"a.bin.002", std::string(4u << 20, 'b'));
    window.inputs.append_to_first = true;
    std::atomic<bool> copying{false};
    window.on_progress = [&](std::uint32_t) {
        copying = true;
        wait_for([&] { return flags.stop_requested.load(); });
    };
    {
        JoinThread thread(job);
        ASSERT_TRUE(thread.start());
        ASSERT_TRUE(wait_for([&] { return copying.load(); }));
        thread.stop_and_wait();
        EXPECT_FALSE(thread.alive());
        EXPECT_FALSE(thread.holds_handle());
    }
    EXPECT_EQ(window.events.back(), "job_ended");
    EXPECT_FALSE(flags.join_running);
    EXPECT_EQ(file_size(list.first()->path), first.size());
}

// The worker hangs in a read that never returns and the application must end: the first
// part that its append job grew is cut back by a thread of the window's, or the window
// learns that it could not be. Should the worker go on, it tries again after a failure,
// and after a cut-back it writes nothing more.
TEST_F(JoinOnDiskTest, AFirstPartThatAHangingWorkerGrewIsCutBackFromOutside) {
    const std::string first(100000, 'a');
    add(L"a.bin.001", first);
    add(L"a.bin.002", std::string(70000, 'b'));
    add(L"a.bin.003", "c");
    window.inputs.append_to_first = true;
    files.failing_read_path = list.at(2)->path;
    std::atomic<bool> hanging{false};
    files.read_waits = [&] {
        hanging = true;
        wait_for([&] { return !hanging.load(); });
    };
    for (const bool truncate_fails : {true, false}) {
        flags.stop_requested = false;
        files.truncate_fails = truncate_fails;
        JoinThread thread(job);
        ASSERT_TRUE(thread.start());
        ASSERT_TRUE(wait_for([&] { return hanging.load(); }));
        EXPECT_EQ(file_size(list.first()->path), first.size() + 70000);
        EXPECT_EQ(thread.cut_back_first_part(5000), !truncate_fails);
        EXPECT_EQ(file_size(list.first()->path), truncate_fails ? first.size() + 70000 : first.size());

        files.truncate_fails = false;
        flags.stop_requested = truncate_fails;
        hanging = false;
        ASSERT_TRUE(thread.wait_for_end(20000));
        EXPECT_EQ(file_size(list.first()->path), first.size());
    }
    EXPECT_EQ(window.statuses.back().text, texts.messages[12]);  // the write after the cut-back
}

TEST_F(JoinOnDiskTest, TheWorkerThreadRunsAJobToItsEnd) {
    add(L"a.bin.001", "first");
    add(L"a.bin.002", "second");
    JoinThread thread(job);
    ASSERT_TRUE(thread.start());
    ASSERT_TRUE(wait_for([&] { return !thread.alive(); }));
    EXPECT_EQ(file_tail(window.inputs.output_path, 11), "firstsecond");
    EXPECT_EQ(window.events.back(), "job_ended");
    thread.release();
    EXPECT_FALSE(thread.holds_handle());
}

}  // namespace
}  // namespace mendlet
