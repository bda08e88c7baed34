#pragma once
// How the SHA hashes take their input and end it. Whole blocks are compressed straight from
// the caller's bytes; only those that do not fill a block wait in the context, at most one
// block's worth at each end of a call. The end is the same for all of them but for the
// sizes: 0x80, zeros, and the bit length in the last eighth of a block.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <type_traits>

namespace mendlet {

// context: state, count (bytes fed) and buffer (the block being filled), as the SHA
// contexts hold them. compress(state, blocks, count) compresses whole blocks.
template <typename Context, typename Compress>
void feed_blocks(Context& context, const std::uint8_t* bytes, std::size_t length, Compress compress) {
    constexpr std::size_t BLOCK = sizeof context.buffer;
    // Nothing to do, and memcpy must not see a null source.
    if (length == 0) return;

    const std::size_t waiting = static_cast<std::size_t>(context.count % BLOCK);
    context.count += length;
    if (waiting != 0) {
        const std::size_t take = std::min(BLOCK - waiting, length);
        std::memcpy(context.buffer + waiting, bytes, take);
        if (waiting + take < BLOCK) return;
        compress(context.state, context.buffer, 1);
        bytes += take;
        length -= take;
    }

    const std::size_t blocks = length / BLOCK;
    compress(context.state, bytes, blocks);
    std::memcpy(context.buffer, bytes + BLOCK * blocks, length % BLOCK);
}

// The end of each block: every state word plus the working variable it started.
template <typename Word>
void add_to_state(Word* state, std::initializer_list<Word> variables) {
    for (const Word variable : variables) *state++ += variable;
}

// Most significant byte first.
template <typename Word>
void store_big_endian(std::uint8_t* bytes, Word value) {
    for (std::size_t k = sizeof(Word); k-- > 0; value = static_cast<Word>(value >> 8))
        bytes[k] = static_cast<std::uint8_t>(value);
}

// Pads the message, appends its bit length and returns the first DIGEST bytes of the state.
// The context is wiped: a spent one cannot be mistaken for a fresh one.
template <std::size_t DIGEST, typename Context, typename Compress>
std::array<std::uint8_t, DIGEST> finish_blocks(Context& context, Compress compress) {
    using Word = std::remove_cv_t<std::remove_reference_t<decltype(context.state[0])>>;
    constexpr std::size_t BLOCK = sizeof context.buffer;
    constexpr std::size_t LENGTH = BLOCK / 8;
    static constexpr std::uint8_t PADDING[BLOCK] = {0x80};

    // A 64-bit byte count is 67 bits of length; SHA-512's sixteen bytes take the upper three.
    std::uint8_t length[LENGTH] = {};
    store_big_endian<std::uint64_t>(length + LENGTH - 8, context.count << 3);
    if constexpr (LENGTH > 8) store_big_endian<std::uint64_t>(length + LENGTH - 16, context.count >> 61);
    const std::size_t waiting = static_cast<std::size_t>(context.count % BLOCK);
    const std::size_t end = BLOCK - LENGTH;
    feed_blocks(context, PADDING, (waiting < end ? end : BLOCK + end) - waiting, compress);
    feed_blocks(context, length, LENGTH, compress);

    std::array<std::uint8_t, DIGEST> digest{};
    for (std::size_t i = 0; i < DIGEST / sizeof(Word); ++i)
        store_big_endian(digest.data() + sizeof(Word) * i, context.state[i]);
    std::memset(&context, 0, sizeof context);
    return digest;
}

}  // namespace mendlet
