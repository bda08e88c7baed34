#include "digest/blake3.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "digest/hex_text.h"

namespace mendlet {

namespace {

// One input at a time: a lane is a word.
constexpr std::size_t LANES = 1;
using Lanes = std::uint32_t;
template <int N>
inline Lanes rotate_right(Lanes x) {
    return (x >> N) | (x << (32 - N));
}
inline Lanes broadcast(std::uint32_t word) { return word; }
inline Lanes load_lanes(const std::uint32_t* words) { return *words; }
inline void store_lanes(std::uint32_t* words, Lanes x) { *words = x; }
// Written out byte by byte, which the compilers recognise as one load.
inline std::uint32_t load_le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void load_message(const std::uint8_t* block, std::size_t, Lanes m[16]) {
    for (int k = 0; k < 16; ++k) m[k] = load_le32(block + 4 * k);
}

}  // namespace

}  // namespace mendlet

#include "digest/blake3_lanes.h"

namespace mendlet {

namespace {

constexpr std::size_t CHUNK = Blake3Context::CHUNK;
constexpr std::size_t GROUP_BYTES = Blake3Context::GROUP * CHUNK;
constexpr std::size_t SUBTREE = Blake3Context::SUBTREE;
constexpr int SUBTREE_LEVEL = 8;
static_assert(SUBTREE == std::size_t{1} << SUBTREE_LEVEL && SUBTREE % Blake3Context::GROUP == 0);

// A compression not done yet, as the last of a chunk or a parent may become the root.
struct Output {
    std::uint32_t h[8];
    std::uint8_t block[BLOCK];
    std::uint64_t counter;
    std::uint32_t length;
    std::uint32_t flags;
};

void store_le32(std::uint8_t* bytes, std::uint32_t word) {
    for (int k = 0; k < 4; ++k) bytes[k] = static_cast<std::uint8_t>(word >> (8 * k));
}

void compress_block(std::uint32_t h[8], const std::uint8_t* block, std::uint64_t counter, std::uint32_t length,
                    std::uint32_t flags) {
    Lanes m[16];
    load_message(block, BLOCK, m);
    compress(h, m, static_cast<std::uint32_t>(counter), static_cast<std::uint32_t>(counter >> 32), length, flags);
}

// The chaining value of the output, or with ROOT the digest.
void finish(const Output& output, std::uint32_t more_flags, std::uint8_t* bytes) {
    std::uint32_t h[8];
    std::copy(std::begin(output.h), std::end(output.h), h);
    compress_block(h, output.block, output.counter, output.length, output.flags | more_flags);
    for (int k = 0; k < 8; ++k) store_le32(bytes + 4 * k, h[k]);
}

// The chunk's blocks but the last, which is zero-padded: an empty input is one empty block.
Output chunk_output(const std::uint8_t* bytes, std::size_t length, std::uint64_t counter) {
    Output output{};
    std::copy(std::begin(SHA256_INITIAL), std::end(SHA256_INITIAL), output.h);
    output.counter = counter;
    const std::size_t blocks = length == 0 ? 1 : (length + BLOCK - 1) / BLOCK;
    for (std::size_t b = 0; b + 1 < blocks; ++b)
        compress_block(output.h, bytes + BLOCK * b, counter, BLOCK, b == 0 ? CHUNK_START : 0);
    const std::size_t rest = length - BLOCK * (blocks - 1);
    std::memcpy(output.block, bytes + BLOCK * (blocks - 1), rest);
    output.length = static_cast<std::uint32_t>(rest);
    output.flags = CHUNK_END | (blocks == 1 ? CHUNK_START : 0);
    return output;
}

Output parent_output(const std::uint8_t* left, const std::uint8_t* right) {
    Output output{};
    std::copy(std::begin(SHA256_INITIAL), std::end(SHA256_INITIAL), output.h);
    std::memcpy(output.block, left, 32);
    std::memcpy(output.block + 32, right, 32);
    output.length = BLOCK;
    output.flags = PARENT;
    return output;
}

// Adds the root of a whole subtree of 2^level chunks, the last of `chunks` so far, to the
// stack, with the parents of each subtree it completes. None of them is the root: the
// last chunk waits for blake3_final.
void push_subtree(Blake3Context& context, const std::uint8_t* cv, std::uint64_t chunks, int level) {
    std::uint8_t node[32];
    std::memcpy(node, cv, sizeof node);
    for (std::uint64_t n = chunks >> level; (n & 1) == 0; n >>= 1)
        finish(parent_output(context.stack[--context.stacked], node), 0, node);
    std::memcpy(context.stack[context.stacked++], node, sizeof node);
}

// `count` inputs side by side as `wide` can, then what is left as each narrower way that the
// processor has can (the last levels of parents, the chunks that wait at the end), the rest
// one at a time.
void hash_many(Blake3Lanes wide, const std::uint8_t* input, std::size_t count, std::size_t blocks, bool chunks,
               std::uint64_t counter, std::uint8_t* cvs) {
    std::size_t done = 0;
    for (const Blake3Lanes way : {wide, blake3_avx2_lanes(), blake3_sse41_lanes(), blake3_portable_lanes()}) {
        if (way.hash == nullptr || way.lanes > wide.lanes) continue;
        for (; count - done >= way.lanes; done += way.lanes)
            way.hash(input + BLOCK * blocks * done, blocks, chunks, counter + done, cvs + 32 * done);
    }
}

// Whole groups of chunks, none of them the last. Each subtree, once whole, is reduced to
// its root level by level, each level's parents side by side, in place: the parent of
// nodes 2i and 2i + 1 goes to i once both are read.
void hash_chunks(Blake3Context& context, const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const std::size_t first = static_cast<std::size_t>(context.chunks % SUBTREE);
        const std::size_t n = std::min(count, SUBTREE - first);
        hash_many(context.wide, bytes, n, CHUNK / BLOCK, true, context.chunks, context.pending[first]);
        context.chunks += n;
        bytes += n * CHUNK;
        count -= n;
        if (first + n < SUBTREE) continue;
        for (std::size_t nodes = SUBTREE; nodes > 1; nodes /= 2)
            hash_many(context.wide, context.pending[0], nodes / 2, 1, false, 0, context.pending[0]);
        push_subtree(context, context.pending[0], context.chunks, SUBTREE_LEVEL);
    }
}

Blake3Lanes fastest_lanes() {
    static const Blake3Lanes fastest = [] {
        for (const Blake3Lanes lanes : {blake3_avx512_lanes(), blake3_avx2_lanes(), blake3_sse41_lanes()})
            if (lanes.hash != nullptr) return lanes;
        return blake3_portable_lanes();
    }();
    return fastest;
}

}  // namespace

Blake3Lanes blake3_portable_lanes() { return {LANES, hash_lanes}; }

void blake3_init(Blake3Context& context) { blake3_init(context, fastest_lanes()); }

void blake3_init(Blake3Context& context, Blake3Lanes wide) {
    context.wide = wide.hash != nullptr ? wide : blake3_portable_lanes();
    context.chunks = 0;
    context.waiting = 0;
    context.stacked = 0;
}

void blake3_update(Blake3Context& context, const std::uint8_t* bytes, std::size_t length) {
    if (length == 0) return;
    if (context.waiting > 0) {
        const std::size_t take = std::min(GROUP_BYTES - context.waiting, length);
        std::memcpy(context.buffer + context.waiting, bytes, take);
        context.waiting += take;
        bytes += take;
        length -= take;
        if (length == 0) return;
        hash_chunks(context, context.buffer, Blake3Context::GROUP);
        context.waiting = 0;
    }
    if (length > GROUP_BYTES) {
        const std::size_t groups = (length - 1) / GROUP_BYTES;
        hash_chunks(context, bytes, groups * Blake3Context::GROUP);
        bytes += groups * GROUP_BYTES;
        length -= groups * GROUP_BYTES;
    }
    std::memcpy(context.buffer, bytes, length);
    context.waiting = length;
}

std::array<std::uint8_t, 32> blake3_final(Blake3Context& context) {
    // The chunks of the subtree that is not whole, one by one.
    const std::size_t loose = static_cast<std::size_t>(context.chunks % SUBTREE);
    for (std::size_t k = 0; k < loose; ++k)
        push_subtree(context, context.pending[k], context.chunks - loose + k + 1, 0);
    // The whole chunks that wait but the last; `pending` is free for their chaining values.
    const std::size_t whole = context.waiting == 0 ? 0 : (context.waiting - 1) / CHUNK;
    hash_many(context.wide, context.buffer, whole, CHUNK / BLOCK, true, context.chunks, context.pending[0]);
    for (std::size_t k = 0; k < whole; ++k) push_subtree(context, context.pending[k], context.chunks + k + 1, 0);
    context.chunks += whole;

    // The right edge of the tree, from the last chunk up.
    Output output = chunk_output(context.buffer + whole * CHUNK, context.waiting - whole * CHUNK, context.chunks);
    while (context.stacked > 0) {
        std::uint8_t cv[32];
        finish(output, 0, cv);
        output = parent_output(context.stack[--context.stacked], cv);
    }
    // The root's first output block is number 0, whatever chunk it ends.
    output.counter = 0;
    std::array<std::uint8_t, 32> digest{};
    finish(output, ROOT, digest.data());
    std::memset(&context, 0, sizeof context);
    return digest;
}

std::string format_blake3(const std::array<std::uint8_t, 32>& digest) { return hex_text(digest.data(), digest.size()); }

}  // namespace mendlet
