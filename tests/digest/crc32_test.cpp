#include "digest/crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "digest/crc32_paths.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::LARGE_SEED;
using test_support::LARGE_SIZE;
using test_support::mixed_chunk_sizes;
using test_support::random_bytes;
using test_support::TestRandom;

std::vector<std::uint8_t> to_bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string crc_text(const std::vector<std::uint8_t>& bytes) {
    return format_crc32(crc32_update(CRC32_INITIAL, bytes.data(), bytes.size()));
}

std::uint32_t reference_crc(std::uint32_t value, const std::uint8_t* bytes, std::size_t length) {
    const auto& table = crc32_table();
    for (std::size_t i = 0; i < length; ++i) value = table[(value ^ bytes[i]) & 0xFFu] ^ (value >> 8);
    return value;
}

// zlib.crc32 over the same generator output.
constexpr const char* LARGE_CRC = "a490bbd6";

std::uint32_t crc_in_chunks(const std::vector<std::uint8_t>& data, std::size_t chunk) {
    std::uint32_t value = CRC32_INITIAL;
    for (std::size_t pos = 0; pos < data.size(); pos += chunk)
        value = crc32_update(value, data.data() + pos, std::min(chunk, data.size() - pos));
    return value;
}

TEST(Crc32KnownValues, CheckString) { EXPECT_EQ(crc_text(to_bytes("123456789")), "cbf43926"); }

TEST(Crc32KnownValues, EmptyInput) {
    EXPECT_EQ(crc32_update(CRC32_INITIAL, nullptr, 0), CRC32_INITIAL);
    EXPECT_EQ(format_crc32(crc32_update(CRC32_INITIAL, nullptr, 0)), "00000000");
}

TEST(Crc32KnownValues, RunsOfLetterA) {
    // zlib.crc32 of n times 'a'; lengths straddle the 16-byte slice boundary.
    struct Case {
        std::size_t length;
        const char* crc;
    };
    const Case cases[] = {
        {55, "aadfe34e"},  {56, "79790d37"},  {63, "6824c5de"},  {64, "89b46555"},
        {119, "4144ebae"}, {120, "d9987447"}, {127, "f0bebe96"}, {128, "f12b368c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        EXPECT_EQ(crc_text(std::vector<std::uint8_t>(c.length, 'a')), c.crc);
    }
}

TEST(Crc32KnownValues, LargeBuffer) { EXPECT_EQ(crc_text(random_bytes(LARGE_SIZE, LARGE_SEED)), LARGE_CRC); }

TEST(Crc32Table, PublishedEntries) {
    const auto& table = crc32_table();
    EXPECT_EQ(table[0], 0x00000000u);
    EXPECT_EQ(table[1], 0x77073096u);
    EXPECT_EQ(table[128], 0xEDB88320u);
    EXPECT_EQ(table[255], 0x2D02EF8Du);
}

TEST(Crc32Table, MatchesBitwiseDefinition) {
    const auto& table = crc32_table();
    for (std::uint32_t b = 0; b < 256; ++b) {
        std::uint32_t crc = b;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        EXPECT_EQ(table[b], crc) << "entry " << b;
    }
}

// crc32_update folds where the processor can and looks up tables for the rest; the table
// path alone must give the same values, on processors without folding.
using CrcFunction = std::uint32_t (*)(std::uint32_t, const std::uint8_t*, std::size_t);
const std::pair<const char*, CrcFunction> PATHS[] = {{"crc32_update", crc32_update}, {"crc32_sliced", crc32_sliced}};

TEST(Crc32Paths, MatchTheByteAtATimeReference) {
    const std::vector<std::uint8_t> pool = random_bytes(4096 + 16, 0x5EED0002ull);
    for (const auto& [name, crc] : PATHS) {
        TestRandom random(0x5EED0001ull);
        for (int round = 0; round < 400; ++round) {
            const std::size_t offset = random.below(16);
            const std::size_t length = random.below(4097);
            // Random starting values too, as when a call continues an earlier one.
            const std::uint32_t start = (round % 2 == 0) ? CRC32_INITIAL : static_cast<std::uint32_t>(random.next());
            const std::uint8_t* p = pool.data() + offset;

            SCOPED_TRACE(testing::Message() << name << " offset " << offset << " length " << length);
            EXPECT_EQ(crc(start, p, length), reference_crc(start, p, length));
        }
    }
}

TEST(Crc32Paths, EveryShortLengthAndOffset) {
    const std::vector<std::uint8_t> pool = random_bytes(160, 0x5EED0003ull);
    for (const auto& [name, crc] : PATHS) {
        for (std::size_t offset = 0; offset < 16; ++offset) {
            for (std::size_t length = 0; length + offset <= pool.size(); ++length) {
                const std::uint8_t* p = pool.data() + offset;
                ASSERT_EQ(crc(CRC32_INITIAL, p, length), reference_crc(CRC32_INITIAL, p, length))
                    << name << " offset " << offset << " length " << length;
            }
        }
    }
}

// Both widths, across the lengths where the wide one hands its rest to the narrow one.
TEST(Crc32Paths, FoldingOfWholeBlocks) {
    const std::pair<const char*, Crc32Folder> folders[] = {{"128-bit", crc32_clmul_folder()},
                                                           {"256-bit", crc32_wide_clmul_folder()}};
    if (folders[0].second == nullptr) GTEST_SKIP() << "this processor has no carry-less multiplication";
    const std::vector<std::uint8_t> pool = random_bytes(1024 + 16, 0x5EED0004ull);
    for (const auto& [name, fold] : folders) {
        if (fold == nullptr) continue;  // 256-bit registers are newer: the narrow folding is checked alone
        TestRandom random(0x5EED0005ull);
        for (std::size_t length = CRC32_FOLD_MINIMUM; length <= 1024; length += 16) {
            const std::size_t offset = random.below(16);
            const auto start = static_cast<std::uint32_t>(random.next());
            const std::uint8_t* p = pool.data() + offset;
            EXPECT_EQ(fold(start, p, length), reference_crc(start, p, length)) << name << " length " << length;
        }
    }
}

TEST(Crc32Chunking, FixedChunkSizes) {
    const std::vector<std::uint8_t> data = random_bytes(LARGE_SIZE, LARGE_SEED);
    for (std::size_t chunk : {std::size_t{1}, std::size_t{63}, std::size_t{64}, std::size_t{65}, std::size_t{65536}}) {
        SCOPED_TRACE(chunk);
        EXPECT_EQ(format_crc32(crc_in_chunks(data, chunk)), LARGE_CRC);
    }
}

TEST(Crc32Chunking, MixedChunkSizes) {
    const std::vector<std::uint8_t> data = random_bytes(LARGE_SIZE, LARGE_SEED);
    for (std::uint64_t seed = 1; seed <= 5; ++seed) {
        std::uint32_t value = CRC32_INITIAL;
        std::size_t pos = 0;
        for (std::size_t take : mixed_chunk_sizes(data.size(), seed)) {
            value = crc32_update(value, data.data() + pos, take);
            pos += take;
        }
        SCOPED_TRACE(seed);
        EXPECT_EQ(format_crc32(value), LARGE_CRC);
    }
}

std::uint32_t crc_of(const std::uint8_t* bytes, std::size_t length) {
    return crc32_update(CRC32_INITIAL, bytes, length);
}

// Per-part values combined in order, as a join will keep them.
std::uint32_t combine_parts(const std::vector<std::uint8_t>& data, const std::vector<std::size_t>& lengths) {
    std::uint32_t whole = CRC32_INITIAL;
    std::size_t pos = 0;
    for (std::size_t length : lengths) {
        whole = crc32_combine(whole, crc_of(data.data() + pos, length), length);
        pos += length;
    }
    return whole;
}

TEST(Crc32Combine, PartsOfRandomDataGiveTheWhole) {
    const std::vector<std::uint8_t> data = random_bytes(3000, 0x5EED0008ull);
    const std::uint32_t whole = crc_of(data.data(), data.size());
    // Every split into two, empty halves included; a combined value goes on like any other.
    for (std::size_t split = 0; split <= data.size(); ++split) {
        ASSERT_EQ(combine_parts(data, {split, data.size() - split}), whole) << "split " << split;
        ASSERT_EQ(crc32_update(combine_parts(data, {split}), data.data() + split, data.size() - split), whole)
            << "split " << split;
    }
    // Many parts, some of them empty.
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        TestRandom random(seed);
        std::vector<std::size_t> lengths;
        for (std::size_t left = data.size(); left > 0; left -= lengths.back())
            lengths.push_back(random.below(4) == 0 ? 0 : std::min(left, 1 + random.below(700)));
        EXPECT_EQ(combine_parts(data, lengths), whole) << "seed " << seed;
    }
}

TEST(Crc32Combine, PartsBeyondFourGiB) {
    // A run of zero bytes of any length from one zero byte, by combining runs with
    // themselves; then a random head, the run and a random tail as three parts. The
    // references are zlib.crc32 of the same bytes. A length cut to 32 bits would give
    // the run of 2^32 bytes the value of no bytes.
    const std::vector<std::uint8_t> head = random_bytes(1000, 0x5EED0006ull);
    const std::vector<std::uint8_t> tail = random_bytes(777, 0x5EED0007ull);
    const std::uint8_t zero = 0;
    struct Case {
        std::uint64_t zeros;
        const char* zeros_crc;
        const char* whole_crc;
    };
    const Case cases[] = {{0x100000000ull, "d202ef8d", "a7499851"}, {0x123456789ull, "f7827259", "244dbd2d"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zeros);
        std::uint32_t run = CRC32_INITIAL;
        std::uint32_t doubling = crc_of(&zero, 1);
        for (std::uint64_t bit = 1; bit <= c.zeros; bit <<= 1) {
            if ((c.zeros & bit) != 0) run = crc32_combine(run, doubling, bit);
            doubling = crc32_combine(doubling, doubling, bit);
        }
        EXPECT_EQ(format_crc32(run), c.zeros_crc);

        std::uint32_t whole = crc32_combine(crc_of(head.data(), head.size()), run, c.zeros);
        whole = crc32_combine(whole, crc_of(tail.data(), tail.size()), tail.size());
        EXPECT_EQ(format_crc32(whole), c.whole_crc);
    }
}

TEST(Crc32Format, ExplicitValues) {
    EXPECT_EQ(format_crc32(0x00000000u), "ffffffff");
    EXPECT_EQ(format_crc32(~0xDEADBEEFu), "deadbeef");
    EXPECT_EQ(format_crc32(~0x0000ABCDu), "0000abcd");
    EXPECT_EQ(format_crc32(~0x00000001u), "00000001");
    EXPECT_EQ(format_crc32(~0x10000000u), "10000000");
}

}  // namespace
}  // namespace mendlet
