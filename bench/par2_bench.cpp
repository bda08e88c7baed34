// Checks every slice of a download's parts against their PAR 2.0 set, as a join will: the
// set read from the folder's *.par2 files, then each part read once from the file system in
// 64 KiB chunks by one thread and handed through the join's pipeline to a SliceChecker on
// another. Prints the time of the best of RUNS runs (set read and parts checked) and the
// slices counted, damaged ones included.
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

#include "join/copy_pipeline.h"
#include "recovery/par2_names.h"
#include "recovery/recovery_set.h"
#include "recovery/slice_check.h"
#include "support/stream_file.h"

namespace fs = std::filesystem;
using namespace mendlet;
using test_support::StreamFolder;

namespace {

class SliceSink : public DigestSink {
public:
    explicit SliceSink(const RecoverySet& set) {
        for (const SetFile& file : set.files) checkers_.push_back(std::make_unique<SliceChecker>(file, set.slice_size));
    }
    void digest(std::uint32_t part, const std::uint8_t* bytes, std::size_t length) override {
        checkers_[part]->update(bytes, length);
    }
    SliceTally finish(std::uint32_t part) { return checkers_[part]->finish(); }

private:
    std::vector<std::unique_ptr<SliceChecker>> checkers_;
};

// Every file of the set, in the set's order, as the join reads its parts.
SliceTally check_files(const fs::path& folder, const RecoverySet& set) {
    SliceSink sink(set);
    CopyPipeline pipeline;
    if (!pipeline.allocate() || !pipeline.start(&sink)) std::exit(1);
    std::vector<bool> found;
    for (std::uint32_t part = 0; part < set.files.size(); ++part) {
        std::ifstream stream(folder / set.files[part].folder / set.files[part].name, std::ios::binary);
        found.push_back(static_cast<bool>(stream));
        pipeline.begin_part(part);
        while (stream) {
            char* space = reinterpret_cast<char*>(pipeline.chunk_space());
            stream.read(space, JOIN_CHUNK_SIZE);
            if (stream.gcount() > 0) pipeline.commit(static_cast<std::uint32_t>(stream.gcount()), false);
        }
    }
    pipeline.finish();
    SliceTally total;
    for (std::uint32_t part = 0; part < set.files.size(); ++part) {
        const SliceTally tally =
            found[part] ? sink.finish(part) : missing_file_tally(set.files[part], set.slice_size);
        total.slices += tally.slices;
        total.damaged += tally.damaged;
    }
    return total;
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
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        StreamFolder disk(folder);
        const std::vector<RecoverySet> sets = read_recovery_sets(disk, names);
        if (sets.empty()) {
            std::fprintf(stderr, "no recovery set in %s\n", folder.string().c_str());
            return 1;
        }
        total = check_files(folder, sets.front());
        bytes = 0;
        for (const SetFile& file : sets.front().files) bytes += file.length;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (run == 0 || seconds < best) best = seconds;
    }
    std::printf("mendlet %.3f s  %.1f MiB/s  (%llu slices, %llu damaged, %.1f MiB, best of %d runs)\n", best,
                static_cast<double>(bytes) / (1 << 20) / best, static_cast<unsigned long long>(total.slices),
                static_cast<unsigned long long>(total.damaged), static_cast<double>(bytes) / (1 << 20), runs);
    return total.damaged == 0 ? 0 : 1;
}
