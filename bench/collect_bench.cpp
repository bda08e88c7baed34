// How long a join takes to read and collect what large checksum files say of its set: 64
// SFV files of 1 MiB each (the most a join reads), every line naming a part of a set of 21
// parts or the joined file, each with a value of its own, so that every file conflicts with
// itself and with the others. The files lie in memory: what is timed is the finding, the
// reading of the lines and the collection, which must stay linear in the lines. Printed
// beside it, as the reference measured in the same run, is a pass that only counts the lines
// of the same bytes.
//
//   collect_bench [RUNS]     default: 3

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "checksum/checksum_finder.h"
#include "checksum/checksum_names.h"
#include "checksum/checksum_text.h"
#include "checksum/set_check.h"

namespace {

using namespace mendlet;
using Clock = std::chrono::steady_clock;

constexpr int PARTS = 21;

class MemoryFolder : public ChecksumFolder {
public:
    const std::wstring& path() const override { return path_; }
    std::vector<std::wstring> file_names() override {
        std::vector<std::wstring> names;
        for (const auto& [name, bytes] : files) names.push_back(name);
        return names;
    }
    std::optional<std::string> read_start(const std::wstring& name, std::size_t most) override {
        const std::string& bytes = files.at(name);
        return bytes.substr(0, std::min(most, bytes.size()));
    }

    std::map<std::wstring, std::string> files;

private:
    std::wstring path_ = L"C:\\Downloads";
};

std::wstring part_path(int number) {
    wchar_t name[32];
    std::swprintf(name, 32, L"C:\\Downloads\\v.bin.%03d", number);
    return name;
}

MemoryFolder make_folder() {
    MemoryFolder folder;
    unsigned value = 12345;
    for (std::size_t file = 0; file < CHECKSUM_FILES_READ; ++file) {
        std::string bytes;
        for (int line = 0; bytes.size() < CHECKSUM_FILE_LIMIT - 64; ++line) {
            value = value * 1664525 + 1013904223;
            char text[64];
            const int part = line % (PARTS + 1);
            if (part == PARTS)
                std::snprintf(text, sizeof text, "v.bin %08x\r\n", value);
            else
                std::snprintf(text, sizeof text, "v.bin.%03d %08x\r\n", part + 1, value);
            bytes += text;
        }
        folder.files[L"upload " + std::to_wstring(file) + L".sfv"] = std::move(bytes);
    }
    return folder;
}

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    MemoryFolder folder = make_folder();
    std::vector<std::wstring> parts;
    for (int number = 1; number <= PARTS; ++number) parts.push_back(part_path(number));
    std::size_t bytes = 0;
    for (const auto& [name, text] : folder.files) bytes += text.size();

    double best_count = 1e9, best_read = 1e9, best_collect = 1e9;
    std::size_t lines = 0, entries = 0, whole_values = 0;
    for (int run = 0; run < runs; ++run) {
        Clock::time_point start = Clock::now();
        lines = 0;
        for (const auto& [name, text] : folder.files) lines += std::count(text.begin(), text.end(), '\n');
        best_count = std::min(best_count, seconds_since(start));

        start = Clock::now();
        const std::vector<ChecksumFile> files = find_checksum_files(folder, {L"v.bin"}, parts, [] { return false; });
        best_read = std::min(best_read, seconds_since(start));

        start = Clock::now();
        SetCheckCollector collector({L"v.bin"}, parts, [](const std::wstring&) { return false; });
        for (const ChecksumFile& file : files) collector.add(file);
        const SetChecks checks = std::move(collector).finish();
        best_collect = std::min(best_collect, seconds_since(start));

        entries = 0;
        for (const ChecksumFile& file : files) entries += file.entries.size();
        whole_values = checks.whole_file.empty() ? 0 : checks.whole_file[0].values.size();
    }
    std::printf("checksum files: %zu SFV files, %.1f MiB, %zu lines, %zu entries (%zu values of the whole file)\n",
                folder.files.size(), static_cast<double>(bytes) / 1048576, lines, entries, whole_values);
    std::printf("best of %d runs\n", runs);
    std::printf("  counting the lines (reference)  %8.3f s\n", best_count);
    std::printf("  finding and reading the files   %8.3f s\n", best_read);
    std::printf("  collecting the checks           %8.3f s\n", best_collect);
    const double total = best_read + best_collect;
    std::printf("  reading and collecting          %8.3f s  (goal: well under 1 s)\n", total);
    std::printf("  collecting / reading            %8.2f\n", best_collect / best_read);
    std::printf("  reading and collecting / counting the lines: %.1f\n", total / best_count);
    return total < 1.0 ? 0 : 1;
}
