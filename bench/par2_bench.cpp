// Checks every slice of a download's parts against their PAR 2.0 set, as a join will: the
// set read from the folder's *.par2 files, then each part read once from the file system in
// 64 KiB chunks and fed to a SliceChecker. Prints the time of the best of RUNS runs (set
// read and parts checked) and the slices counted, damaged ones included.
//
//   par2_bench FOLDER SET_NAME [RUNS]     RUNS defaults to 3

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "recovery/par2_names.h"
#include "recovery/recovery_set.h"
#include "recovery/slice_check.h"
#include "support/stream_file.h"

namespace fs = std::filesystem;
using namespace mendlet;
using test_support::StreamFolder;

namespace {

constexpr std::size_t CHUNK = 64 * 1024;

SliceTally check_file(const fs::path& path, const SetFile& file, std::uint64_t slice_size, std::vector<char>& chunk) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) return missing_file_tally(file, slice_size);
    SliceChecker checker(file, slice_size);
    while (stream.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || stream.gcount() > 0)
        checker.update(reinterpret_cast<const std::uint8_t*>(chunk.data()), static_cast<std::size_t>(stream.gcount()));
    return checker.finish();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: par2_bench FOLDER SET_NAME [RUNS]\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const std::string set_name = argv[2];
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    std::vector<std::wstring> listing;
    for (const auto& entry : fs::directory_iterator(folder)) listing.push_back(entry.path().filename().wstring());
    std::sort(listing.begin(), listing.end());
    const std::vector<std::wstring> names = par2_files_to_read(listing, {std::wstring(set_name.begin(), set_name.end())});

    double best = 0;
    SliceTally total;
    std::uint64_t bytes = 0;
    std::vector<char> chunk(CHUNK);
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        StreamFolder disk(folder);
        const std::vector<RecoverySet> sets = read_recovery_sets(disk, names);
        if (sets.empty()) {
            std::fprintf(stderr, "no recovery set in %s\n", folder.string().c_str());
            return 1;
        }
        total = {};
        bytes = 0;
        for (const SetFile& file : sets.front().files) {
            const SliceTally tally = check_file(folder / file.folder / file.name, file, sets.front().slice_size, chunk);
            total.slices += tally.slices;
            total.damaged += tally.damaged;
            bytes += file.length;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (run == 0 || seconds < best) best = seconds;
    }
    std::printf("mendlet %.3f s  %.1f MiB/s  (%llu slices, %llu damaged, %.1f MiB, best of %d runs)\n", best,
                static_cast<double>(bytes) / (1 << 20) / best, static_cast<unsigned long long>(total.slices),
                static_cast<unsigned long long>(total.damaged), static_cast<double>(bytes) / (1 << 20), runs);
    return total.damaged == 0 ? 0 : 1;
}
