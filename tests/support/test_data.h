#pragma once
// Reproducible pseudo-random test data (splitmix64), the same on every platform, so that
// digests of it can be checked against values computed elsewhere.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mendlet::test_support {

class TestRandom {
public:
    explicit TestRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        state_ += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A value in [0, bound).
    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

private:
    std::uint64_t state_;
};

// Eight bytes per generator step, least significant first.
inline std::vector<std::uint8_t> random_bytes(std::size_t size, std::uint64_t seed) {
    TestRandom random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; i += 8) {
        const std::uint64_t word = random.next();
        for (std::size_t k = 0; k < 8 && i + k < size; ++k) bytes[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
    }
    return bytes;
}

// Piece lengths that add up to total: mostly small, now and then a large one, and some of
// length zero.
inline std::vector<std::size_t> mixed_chunk_sizes(std::size_t total, std::uint64_t seed) {
    TestRandom random(seed);
    std::vector<std::size_t> sizes;
    for (std::size_t done = 0; done < total;) {
        const std::size_t want = random.below(8) == 0 ? random.below(70000) : random.below(130);
        sizes.push_back(want < total - done ? want : total - done);
        done += sizes.back();
    }
    return sizes;
}

// Piece lengths that add up to total: as many of `chunk` as fit, then the rest.
inline std::vector<std::size_t> chunks_of(std::size_t chunk, std::size_t total) {
    std::vector<std::size_t> lengths(total / chunk, chunk);
    if (total % chunk != 0) lengths.push_back(total % chunk);
    return lengths;
}

// Piece sizes that the digests' tests feed: either side of their blocks (64 and 128 bytes)
// and of BLAKE3's chunks (1 KiB), and a large one.
inline constexpr std::size_t CHUNKINGS[] = {1, 63, 64, 65, 127, 128, 129, 1023, 1024, 1025, 65536};

// 200,003 bytes: not a multiple of any chunk size the digest tests use.
inline constexpr std::size_t LARGE_SIZE = 200003;
inline constexpr std::uint64_t LARGE_SEED = 0x4D656E646C6574ull;

}  // namespace mendlet::test_support
