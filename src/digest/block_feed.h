#pragma once
// How the SHA hashes take their input: whole blocks are compressed straight from the
// caller's bytes; only those that do not fill a block wait in the context, at most one
// block's worth at each end of a call.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

}  // namespace mendlet
