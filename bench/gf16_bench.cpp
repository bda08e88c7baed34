// Throughput of the GF(2^16) multiply-adds that a repair spends its time in: 16 sources of
// one 4 KiB tile each added into the tiles of 8 destinations in turn, as the repair works,
// for each way this processor runs; rates count the source bytes, and each is set against
// the portable way's in the same run. All checked against the portable way's sums.
//
//   gf16_bench [MiB] [runs]     defaults: 1024 MiB of source bytes, best of 5 runs

#include "bench_support.h"
#include "repair/gf16.h"
#include "repair/gf16_region.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using mendlet::Gf16Factor;
using mendlet::Gf16Path;
using mendlet::bench::best_seconds;
using mendlet::bench::splitmix64;

constexpr std::size_t SOURCES = 16, DESTINATIONS = 8, TILE = 4096;

std::vector<std::uint8_t> random_tiles(std::size_t count, std::uint64_t& state) {
    std::vector<std::uint8_t> bytes(count * TILE);
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(splitmix64(state));
    return bytes;
}

// The processor as bench/common.sh names it; unknown where there is no /proc/cpuinfo.
std::string processor() {
    std::ifstream file("/proc/cpuinfo");
    std::map<std::string, std::string> fields;
    for (std::string line; std::getline(file, line) && !line.empty();) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::size_t name_end = line.find_last_not_of(" \t", colon - 1);
        fields.emplace(line.substr(0, name_end + 1), line.substr(std::min(line.size(), colon + 2)));
    }
    if (fields.count("model name") == 0) return "unknown";
    return fields["model name"] + " (family " + fields["cpu family"] + ", model " + fields["model"] + ")";
}

struct Measure {
    double seconds;
    std::vector<std::uint8_t> sums;
};

Measure measure(const Gf16Path& path, const std::vector<std::uint8_t>& sources,
                const std::vector<mendlet::Gf16>& factors, std::size_t rounds, int runs) {
    std::vector<Gf16Factor> prepared(factors.size());
    for (std::size_t i = 0; i < factors.size(); ++i) path.prepare(factors[i], prepared[i]);
    const std::uint8_t* tiles[SOURCES];
    for (std::size_t s = 0; s < SOURCES; ++s) tiles[s] = sources.data() + s * TILE;
    Measure result{0.0, std::vector<std::uint8_t>(DESTINATIONS * TILE)};
    result.seconds = best_seconds(runs, [&] {
        for (std::size_t round = 0; round < rounds; ++round)
            for (std::size_t d = 0; d < DESTINATIONS; ++d)
                path.dot_product_add(result.sums.data() + d * TILE, tiles, &prepared[d * SOURCES], SOURCES, TILE);
    });
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    long mib = 1024;
    int runs = 5;
    if (argc > 1) mib = std::strtol(argv[1], nullptr, 10);
    if (argc > 2) runs = static_cast<int>(std::strtol(argv[2], nullptr, 10));
    if (mib <= 0 || runs <= 0) {
        std::fprintf(stderr, "usage: %s [MiB > 0] [runs > 0]\n", argv[0]);
        return 2;
    }
    std::uint64_t state = 0x4D656E646C6574ull;
    const std::vector<std::uint8_t> sources = random_tiles(SOURCES, state);
    std::vector<mendlet::Gf16> factors(DESTINATIONS * SOURCES);
    for (mendlet::Gf16& factor : factors) factor = static_cast<mendlet::Gf16>(splitmix64(state));
    const std::size_t per_round = DESTINATIONS * SOURCES * TILE;
    const std::size_t rounds = (static_cast<std::size_t>(mib) << 20) / per_round + 1;
    const double mebibytes = static_cast<double>(rounds * per_round) / (1 << 20);

    std::printf("%zu sources of %zu-byte tiles into %zu destinations, %.0f MiB of sources, best of %d runs\n", SOURCES,
                TILE, DESTINATIONS, mebibytes, runs);
    const mendlet::Gf16DotProductAdd portable_add = mendlet::gf16_portable_path().dot_product_add;
    const Measure portable = measure(mendlet::gf16_portable_path(), sources, factors, rounds, runs);
    int status = 0;
    for (const Gf16Path path : {mendlet::gf16_portable_path(), mendlet::gf16_ssse3_path(), mendlet::gf16_avx2_path(),
                                mendlet::gf16_gfni_path()}) {
        if (path.dot_product_add == nullptr) {
            std::printf("%-12s  not on this processor\n", path.name);
            continue;
        }
        const Measure ours =
            path.dot_product_add == portable_add ? portable : measure(path, sources, factors, rounds, runs);
        std::printf("%-12s %10.1f MiB/s  %6.2fx portable\n", path.name, mebibytes / ours.seconds,
                    portable.seconds / ours.seconds);
        if (ours.sums != portable.sums) {
            std::fprintf(stderr, "error: the sums of %s differ from the portable way's\n", path.name);
            status = 1;
        }
    }
    std::printf("best path: %s\n", mendlet::gf16_best_path().name);
    std::printf("processor: %s\n", processor().c_str());
    return status;
}
