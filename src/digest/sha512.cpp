#include "digest/sha512.h"

#include <algorithm>
#include <cstring>

#include "digest/sha_blocks.h"
#include "digest/hex_text.h"
#include "digest/sha512_paths.h"
#include "digest/sha512_rounds.h"

namespace mendlet {

namespace {

// The compression for the most that the processor has; it is asked once.
Sha512Compressor compressor() {
    static const Sha512Compressor fastest = [] {
        if (const Sha512Compressor avx512 = sha512_avx512_compressor()) return avx512;
        if (const Sha512Compressor wide = sha512_wide_compressor()) return wide;
        return Sha512Compressor{compress_blocks};
    }();
    return fastest;
}

}  // namespace

void sha512_portable(std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count) {
    compress_blocks(state, blocks, count);
}

void sha512_init(Sha512Context& context) {
    std::copy(std::begin(SHA512_INITIAL), std::end(SHA512_INITIAL), context.state);
    context.count = 0;
    std::memset(context.buffer, 0, sizeof context.buffer);
}

void sha512_update(Sha512Context& context, const std::uint8_t* bytes, std::size_t length) {
    feed_blocks(context, bytes, length, compressor());
}

std::array<std::uint8_t, 64> sha512_final(Sha512Context& context) {
    return finish_blocks<64>(context, compressor());
}

std::string format_sha512(const std::array<std::uint8_t, 64>& digest) { return hex_text(digest.data(), digest.size()); }

}  // namespace mendlet
