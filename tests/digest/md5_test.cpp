#include "digest/md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::LARGE_SEED;
using test_support::LARGE_SIZE;
using test_support::mixed_chunk_sizes;
using test_support::random_bytes;

using Digest = std::array<std::uint8_t, 16>;

Digest md5_of(const std::uint8_t* bytes, std::size_t length) {
    Md5Context context;
    md5_init(context);
    md5_update(context, bytes, static_cast<std::uint32_t>(length));
    return md5_final(context);
}

std::string md5_text(const std::string& text) {
    return format_md5(md5_of(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Digest md5_in_chunks(const std::vector<std::uint8_t>& data, std::size_t chunk) {
    Md5Context context;
    md5_init(context);
    for (std::size_t pos = 0; pos < data.size(); pos += chunk)
        md5_update(context, data.data() + pos, static_cast<std::uint32_t>(std::min(chunk, data.size() - pos)));
    return md5_final(context);
}

// Whole-message MD5 built only on md5_transform: pads the complete message up
// front instead of streaming, so it shares none of the buffering logic.
Digest reference_md5(const std::uint8_t* bytes, std::size_t length) {
    std::vector<std::uint8_t> message(bytes, bytes + length);
    message.push_back(0x80);
    while (message.size() % 64 != 56) message.push_back(0);
    const std::uint64_t bits = static_cast<std::uint64_t>(length) * 8;
    for (int k = 0; k < 8; ++k) message.push_back(static_cast<std::uint8_t>(bits >> (8 * k)));

    std::uint32_t state[4] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u};
    for (std::size_t pos = 0; pos < message.size(); pos += 64) md5_transform(state, message.data() + pos);

    Digest digest{};
    for (int w = 0; w < 4; ++w)
        for (int k = 0; k < 4; ++k)
            digest[static_cast<std::size_t>(4 * w + k)] = static_cast<std::uint8_t>(state[w] >> (8 * k));
    return digest;
}

// Python hashlib.md5 over the same generator output.
constexpr const char* LARGE_MD5 = "8cb55bacbac3582a7d81186d2beaa865";

TEST(Md5Rfc1321, TestSuite) {
    struct Case {
        const char* input;
        const char* digest;
    };
    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(md5_text(c.input), c.digest);
    }
}

TEST(Md5Rfc1321, MillionLetterA) {
    const std::vector<std::uint8_t> data(1000000, 'a');
    const char* expected = "7707d6ae4e027c70eea2a935c2296f21";
    EXPECT_EQ(format_md5(md5_of(data.data(), data.size())), expected);
    EXPECT_EQ(format_md5(md5_in_chunks(data, 1000)), expected);
    EXPECT_EQ(format_md5(md5_in_chunks(data, 7)), expected);
}

TEST(Md5Parts, TransformOfPaddedEmptyMessage) {
    // The empty message is a single block: 0x80, zeros, zero bit length.
    std::uint8_t block[64] = {0x80};
    std::uint32_t state[4] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u};
    md5_transform(state, block);
    // d41d8cd98f00b204e9800998ecf8427e read as little-endian words.
    EXPECT_EQ(state[0], 0xD98C1DD4u);
    EXPECT_EQ(state[1], 0x04B2008Fu);
    EXPECT_EQ(state[2], 0x980980E9u);
    EXPECT_EQ(state[3], 0x7E42F8ECu);
}

TEST(Md5Parts, BitCountAccumulates) {
    Md5Context context;
    md5_init(context);
    const std::vector<std::uint8_t> data(1000, 0x5A);
    md5_update(context, data.data(), 3);
    md5_update(context, data.data(), 1000);
    EXPECT_EQ(context.count[0], 1003u * 8u);
    EXPECT_EQ(context.count[1], 0u);
}

TEST(Md5Parts, BitCountCarriesIntoHighWord) {
    // Pretend 2^29 - 1 bytes have been fed: the low word is 8 bits short of wrapping.
    Md5Context context;
    md5_init(context);
    context.count[0] = 0xFFFFFFF8u;
    const std::uint8_t bytes[2] = {1, 2};
    md5_update(context, bytes, 2);
    EXPECT_EQ(context.count[0], 8u);
    EXPECT_EQ(context.count[1], 1u);
}

TEST(Md5Padding, RunsOfLetterA) {
    // hashlib.md5 of n times 'a': 55 and 56 sit either side of the padding
    // branch, 63 leaves the most bytes waiting, 64 leaves none.
    struct Case {
        std::size_t length;
        const char* digest;
    };
    const Case cases[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"},  {56, "3b0c8ac703f828b04c6c197006d17218"},
        {63, "b06521f39153d618550606be297466d5"},  {64, "014842d480b571495a4a0363793f7367"},
        {119, "8a7bd0732ed6a28ce75f6dabc90e1613"}, {120, "5f61c0ccad4cac44c75ff505e1f1e537"},
        {127, "020406e1d05cdc2aa287641f7ae2cc39"}, {128, "e510683b3f5ffe4093d021808bc6ff70"},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> data(c.length, 'a');
        // Every split into two calls must agree, including empty halves.
        for (std::size_t split = 0; split <= c.length; ++split) {
            Md5Context context;
            md5_init(context);
            md5_update(context, data.data(), static_cast<std::uint32_t>(split));
            md5_update(context, data.data() + split, static_cast<std::uint32_t>(c.length - split));
            ASSERT_EQ(format_md5(md5_final(context)), c.digest) << "length " << c.length << " split " << split;
        }
    }
}

TEST(Md5Padding, EveryRemainderMatchesReference) {
    const std::vector<std::uint8_t> data = random_bytes(300, 0x5EED1001ull);
    for (std::size_t length = 0; length <= data.size(); ++length) {
        ASSERT_EQ(format_md5(md5_of(data.data(), length)), format_md5(reference_md5(data.data(), length)))
            << "length " << length;
    }
}

TEST(Md5Padding, WaitingBytesAfterManyBlocks) {
    // Long inputs whose last block leaves 55, 56 and 63 bytes in the buffer.
    const std::vector<std::uint8_t> data = random_bytes(64 * 1000 + 64, 0x5EED1002ull);
    for (std::size_t waiting : {std::size_t{0}, std::size_t{55}, std::size_t{56}, std::size_t{63}}) {
        const std::size_t length = 64 * 1000 + waiting;
        SCOPED_TRACE(length);
        const std::string expected = format_md5(reference_md5(data.data(), length));
        EXPECT_EQ(format_md5(md5_of(data.data(), length)), expected);
        std::vector<std::uint8_t> part(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(format_md5(md5_in_chunks(part, 65)), expected);
        EXPECT_EQ(format_md5(md5_in_chunks(part, 1)), expected);
    }
}

TEST(Md5Chunking, LargeBufferOneCall) {
    const std::vector<std::uint8_t> data = random_bytes(LARGE_SIZE, LARGE_SEED);
    EXPECT_EQ(format_md5(md5_of(data.data(), data.size())), LARGE_MD5);
}

TEST(Md5Chunking, FixedChunkSizes) {
    const std::vector<std::uint8_t> data = random_bytes(LARGE_SIZE, LARGE_SEED);
    for (std::size_t chunk : {std::size_t{1}, std::size_t{63}, std::size_t{64}, std::size_t{65}, std::size_t{65536}}) {
        SCOPED_TRACE(chunk);
        EXPECT_EQ(format_md5(md5_in_chunks(data, chunk)), LARGE_MD5);
    }
}

TEST(Md5Chunking, MixedChunkSizes) {
    const std::vector<std::uint8_t> data = random_bytes(LARGE_SIZE, LARGE_SEED);
    for (std::uint64_t seed = 1; seed <= 5; ++seed) {
        Md5Context context;
        md5_init(context);
        std::size_t pos = 0;
        for (std::size_t take : mixed_chunk_sizes(data.size(), seed)) {
            md5_update(context, data.data() + pos, static_cast<std::uint32_t>(take));
            pos += take;
        }
        SCOPED_TRACE(seed);
        EXPECT_EQ(format_md5(md5_final(context)), LARGE_MD5);
    }
}

TEST(Md5Chunking, UnalignedSource) {
    const std::vector<std::uint8_t> data = random_bytes(5000, 0x5EED1003ull);
    std::vector<std::uint8_t> shifted(data.size() + 16);
    const std::string expected = format_md5(reference_md5(data.data(), data.size()));
    for (std::size_t offset = 0; offset < 16; ++offset) {
        std::copy(data.begin(), data.end(), shifted.begin() + static_cast<std::ptrdiff_t>(offset));
        EXPECT_EQ(format_md5(md5_of(shifted.data() + offset, data.size())), expected) << "offset " << offset;
    }
}

TEST(Md5Format, ConstructedDigest) {
    const Digest digest = {0x00, 0x01, 0x0A, 0x0F, 0x10, 0x7F, 0x80, 0x9A,
                           0xA0, 0xAB, 0xC3, 0xD4, 0xE5, 0xF0, 0xFE, 0xFF};
    EXPECT_EQ(format_md5(digest), "00010a0f107f809aa0abc3d4e5f0feff");
    EXPECT_EQ(format_md5(Digest{}), std::string(32, '0'));
    Digest all_ff;
    all_ff.fill(0xFF);
    EXPECT_EQ(format_md5(all_ff), std::string(32, 'f'));
}

}  // namespace
}  // namespace mendlet
