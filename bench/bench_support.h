#pragma once
// What the native benchmarks share: random bytes that are the same in every run, and the
// best of several timed runs.

#include <cstdint>
#include <ctime>

namespace mendlet::bench {

// The next number of SplitMix64 from `state`: fast, and the same sequence everywhere.
inline std::uint64_t splitmix64(std::uint64_t& state) {
    state += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Runs body() `runs` times and returns the shortest time in seconds: processor time (that
// of the whole process), so that other work on a shared machine counts little. std::clock
// gives it on Linux, where these run; on Windows it is the wall time.
template <typename Body>
double best_seconds(int runs, Body body) {
    double best = 0.0;
    for (int run = 0; run < runs; ++run) {
        const std::clock_t start = std::clock();
        body();
        const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        if (run == 0 || seconds < best) best = seconds;
    }
    return best;
}

}  // namespace mendlet::bench
