// The join engine on real files, without a window, for bench/join_bench.sh and
// bench/memory_bench.sh.
//
//   join_bench generate FOLDER TOTAL_MIB PART_MIB   writes data.bin.001, ... of random bytes
//   join_bench join FOLDER none|crc32|md5|both OUTPUT
//                                                  joins them once; prints seconds, MB/s, the digests
//                                                  and the process's peak working set in bytes, then
//                                                  the status line, which names any checksum file the
//                                                  join was checked against; fails if the join did
//   join_bench check FOLDER OUTPUT                  checks the parts against the checksum files
//                                                  beside them; prints seconds, MB/s and the outcome,
//                                                  and fails unless every part listed matched
//   join_bench idle                                prints the peak working set of joining nothing
//   join_bench repair-path                         prints the GF(2^16) code a repair runs here

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "core/part_list.h"
#include "join/join_files_win32.h"
#include "join/join_window.h"
#include "join/join_worker.h"
#include "join/part_check.h"
#include "repair/slice_repair.h"
#include "lang/text_format.h"
#include "lang/text_table.h"
#include "settings/settings.h"

namespace {

using namespace mendlet;

std::wstring part_path(const std::wstring& folder, unsigned number) {
    wchar_t name[32];
    swprintf(name, 32, L"\\data.bin.%03u", number);
    return folder + name;
}

bool generate(const std::wstring& folder, std::uint64_t total_mib, std::uint64_t part_mib) {
    std::vector<std::uint64_t> block(1u << 17);  // 1 MiB
    std::uint64_t state = 0x4D656E646C6574ull;
    std::uint64_t left = total_mib;
    unsigned number = 1;
    for (; left > 0; ++number) {
        const HANDLE file = CreateFileW(part_path(folder, number).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        const std::uint64_t mib = left < part_mib ? left : part_mib;
        bool ok = true;
        for (std::uint64_t i = 0; i < mib && ok; ++i) {
            for (std::uint64_t& word : block) {  // splitmix64
                std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
                z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
                z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
                word = z ^ (z >> 31);
            }
            DWORD written = 0;
            ok = WriteFile(file, block.data(), 1u << 20, &written, nullptr) && written == 1u << 20;
        }
        CloseHandle(file);
        if (!ok) return false;
        left -= mib;
    }
    // Parts left over from a larger set would join too.
    while (DeleteFileW(part_path(folder, number++).c_str())) {
    }
    return true;
}

// The most memory the process has held at once, as the system counts it.
unsigned long long peak_working_set() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)) ? counters.PeakWorkingSetSize : 0;
}

// A window that is not there: the job's inputs come from the command line, the rest is
// dropped.
class HeadlessWindow : public JoinWindow {
public:
    JobInputs inputs;
    std::string crc32 = "-";
    std::string md5 = "-";
    std::wstring status;
    Colour status_colour = COLOUR_NORMAL;

    bool ask_yes_no(const Question&) override { return true; }
    JobInputs read_job_inputs() override { return inputs; }
    CompletionChoices read_completion_choices() override { return {}; }
    void show_status(std::wstring_view text, Colour colour, bool) override {
        status = text;
        status_colour = colour;
        if (colour == COLOUR_ERROR)
            std::fwprintf(stderr, L"job failed: %.*ls\n", static_cast<int>(text.size()), text.data());
    }
    void reset_status() override {}
    void start_taskbar_progress() override {}
    void show_progress(std::uint32_t) override {}
    void show_digests(const std::optional<std::string>& crc, const std::optional<std::string>& md5_text) override {
        if (crc) crc32 = *crc;
        if (md5_text) md5 = *md5_text;
    }
    void mark_part(PartList&, std::uint32_t, std::int32_t) override {}
    void open_output_folder(const std::wstring&) override {}
    void open_output_file(const std::wstring&) override {}
    void empty_list(bool) override {}
    void job_started() override {}
    void show_busy_state(JobKind) override {}
    void show_idle_state() override {}
    void job_ended() override {}
    void request_close() override {}
};

PartList list_parts(const std::wstring& folder) {
    PartList list;
    for (unsigned number = 1;; ++number) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        const std::wstring path = part_path(folder, number);
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) break;
        const std::uint64_t size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
        list.add_part(NO_POSITION, false, path, size, STATUS_OK, false);
    }
    return list;
}

std::uint64_t total_size(const PartList& list) {
    std::uint64_t total = 0;
    for (const PartEntry& entry : list) total += entry.size;
    return total;
}

int join(const std::wstring& folder, const std::wstring& digests, const std::wstring& output) {
    PartList list = list_parts(folder);
    if (list.count() < 2) {
        std::fwprintf(stderr, L"no parts in %ls\n", folder.c_str());
        return 1;
    }
    const std::uint64_t total = total_size(list);

    Settings settings;
    TextTable texts;
    HeadlessWindow window;
    window.inputs.output_path = output;
    window.inputs.crc32_checked = digests == L"crc32" || digests == L"both";
    window.inputs.md5_checked = digests == L"md5" || digests == L"both";
    Win32JoinFiles files;
    JoinFlags flags;
    JoinContext job{list, settings, texts, window, files, flags};

    const auto start = std::chrono::steady_clock::now();
    run_join(job);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f %.1f %s %s %llu\n%ls\n", seconds, static_cast<double>(total) / seconds / 1e6,
                window.crc32.c_str(), window.md5.c_str(), peak_working_set(), window.status.c_str());
    return window.status_colour == COLOUR_ERROR ? 1 : 0;
}

// A check that found nothing to check, or any fault, is no result to time.
int check(const std::wstring& folder, const std::wstring& output) {
    PartList list = list_parts(folder);
    Settings settings;
    TextTable texts;
    HeadlessWindow window;
    window.inputs.output_path = output;
    Win32JoinFiles files;
    JoinFlags flags;
    JoinContext job{list, settings, texts, window, files, flags, JobKind::check};

    const auto start = std::chrono::steady_clock::now();
    run_check(job);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f %.1f %ls\n", seconds, static_cast<double>(total_size(list)) / seconds / 1e6,
                window.status.c_str());
    const bool listed = window.status != format_text(texts.verify[8], {list.count()});
    return window.status_colour == COLOUR_INFO && listed ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"generate" && argc == 5)
        return generate(argv[2], std::wcstoull(argv[3], nullptr, 10), std::wcstoull(argv[4], nullptr, 10)) ? 0 : 1;
    if (command == L"join" && argc == 5) return join(argv[2], argv[3], argv[4]);
    if (command == L"check" && argc == 4) return check(argv[2], argv[3]);
    if (command == L"repair-path") return std::printf("%s\n", repair_path_name()) < 0;
    if (command == L"idle" && argc == 2) {
        std::printf("%llu\n", peak_working_set());
        return 0;
    }
    std::fwprintf(stderr,
                  L"usage: join_bench generate FOLDER TOTAL_MIB PART_MIB | join FOLDER none|crc32|md5|both OUTPUT"
                  L" | check FOLDER OUTPUT | idle | repair-path\n");
    return 2;
}
