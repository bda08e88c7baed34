#pragma once
// What the tests of the SHA digests share: bytes fed in pieces through the streaming
// functions, and whole messages padded up front for a compressor alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "support/test_data.h"

namespace mendlet::test_support {

// The digest of the bytes fed in pieces of these lengths, one update call each.
template <typename Context, typename Digest>
Digest digest_in_pieces(void (*init)(Context&), void (*update)(Context&, const std::uint8_t*, std::size_t),
                        Digest (*finish)(Context&), const std::uint8_t* bytes,
                        const std::vector<std::size_t>& lengths) {
    Context context;
    init(context);
    for (std::size_t length : lengths) {
        update(context, bytes, length);
        bytes += length;
    }
    return finish(context);
}

// The message, the 0x80 byte, zeros and its bit length in eight bytes, most significant
// first, ending a 64-byte block: padded without any of the streaming code.
inline std::vector<std::uint8_t> padded_message(const std::uint8_t* bytes, std::size_t length) {
    std::vector<std::uint8_t> message(bytes, bytes + length);
    message.push_back(0x80);
    while (message.size() % 64 != 56) message.push_back(0);
    const std::uint64_t bits = static_cast<std::uint64_t>(length) * 8;
    for (int k = 7; k >= 0; --k) message.push_back(static_cast<std::uint8_t>(bits >> (8 * k)));
    return message;
}

// The digest that state words stand for: each word most significant byte first.
template <std::size_t N>
std::array<std::uint8_t, 4 * N> digest_of_state(const std::uint32_t (&state)[N]) {
    std::array<std::uint8_t, 4 * N> digest{};
    for (std::size_t w = 0; w < N; ++w)
        for (std::size_t k = 0; k < 4; ++k) digest[4 * w + k] = static_cast<std::uint8_t>(state[w] >> (24 - 8 * k));
    return digest;
}

// Runs of 0 to 64 whole blocks of BLOCK bytes, at any alignment, from random states, through
// two compressions of the same hash: both must end in the same state.
template <std::size_t BLOCK, typename Word, std::size_t N>
testing::AssertionResult compressions_agree(void (*one)(Word*, const std::uint8_t*, std::size_t),
                                            void (*other)(Word*, const std::uint8_t*, std::size_t),
                                            std::uint64_t seed) {
    const std::vector<std::uint8_t> pool = random_bytes(64 * BLOCK + 16, seed);
    TestRandom random(seed + 1);
    for (std::size_t count = 0; count <= 64; ++count) {
        const std::uint8_t* p = pool.data() + random.below(16);
        std::array<Word, N> first{};
        for (Word& word : first) word = static_cast<Word>(random.next());
        std::array<Word, N> second = first;
        one(first.data(), p, count);
        other(second.data(), p, count);
        if (first != second) return testing::AssertionFailure() << "they differ after " << count << " blocks";
    }
    return testing::AssertionSuccess();
}

}  // namespace mendlet::test_support
