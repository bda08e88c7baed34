#include "digest/crc32.h"

#include "digest/crc32_paths.h"

namespace mendlet {

namespace {

constexpr std::uint32_t POLYNOMIAL = 0xEDB88320u;
constexpr std::size_t SLICES = 16;

using CrcTable = std::array<std::uint32_t, 256>;

constexpr CrcTable make_base_table() {
    CrcTable table{};
    for (std::uint32_t b = 0; b < 256; ++b) {
        std::uint32_t crc = b;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ POLYNOMIAL : crc >> 1;
        table[b] = crc;
    }
    return table;
}

// Extends every entry of `previous` by one zero byte.
constexpr CrcTable make_next_table(const CrcTable& base, const CrcTable& previous) {
    CrcTable table{};
    for (std::size_t b = 0; b < 256; ++b) table[b] = (previous[b] >> 8) ^ base[previous[b] & 0xFFu];
    return table;
}

// SLICE<k>[b] is the CRC contribution of byte b followed by k zero bytes, so
// 16 input bytes can be folded in with 16 independent look-ups. One variable
// per table keeps each compile-time evaluation small (MSVC caps the steps of
// a single constant evaluation). Constant data: nothing runs at start-up.
constexpr CrcTable BASE_TABLE = make_base_table();

template <std::size_t K>
constexpr CrcTable SLICE = make_next_table(BASE_TABLE, SLICE<K - 1>);

template <>
constexpr CrcTable SLICE<0> = BASE_TABLE;

static_assert(BASE_TABLE[1] == 0x77073096u);
static_assert(BASE_TABLE[255] == 0x2D02EF8Du);

// a times b modulo the polynomial, both reflected as the running value is: the top bit
// holds x^0, the bottom bit x^31.
constexpr std::uint32_t multiply_modulo(std::uint32_t a, std::uint32_t b) {
    std::uint32_t product = 0;
    for (std::uint32_t term = 0x80000000u; term != 0; term >>= 1) {
        if ((a & term) != 0) product ^= b;
        b = (b & 1u) ? (b >> 1) ^ POLYNOMIAL : b >> 1;
    }
    return product;
}

// Entry k is x^(8 * 2^k) modulo the polynomial: what 2^k zero bytes multiply a running
// value by. Each squares the one before, from the x^8 of one byte.
constexpr std::array<std::uint32_t, 64> make_zero_run_factors() {
    std::array<std::uint32_t, 64> factors{};
    factors[0] = 0x80000000u >> 8;
    for (std::size_t k = 1; k < factors.size(); ++k) factors[k] = multiply_modulo(factors[k - 1], factors[k - 1]);
    return factors;
}

constexpr std::array<std::uint32_t, 64> ZERO_RUN_FACTORS = make_zero_run_factors();

// The running value carried over `length` zero bytes, one multiplication per set bit.
std::uint32_t over_zero_bytes(std::uint32_t value, std::uint64_t length) {
    for (std::size_t k = 0; length != 0; ++k, length >>= 1)
        if ((length & 1u) != 0) value = multiply_modulo(value, ZERO_RUN_FACTORS[k]);
    return value;
}

}  // namespace

const std::array<std::uint32_t, 256>& crc32_table() { return BASE_TABLE; }

std::uint32_t crc32_update(std::uint32_t value, const std::uint8_t* bytes, std::size_t length) {
    static const Crc32Folder wide = crc32_wide_clmul_folder();
    static const Crc32Folder fold = wide != nullptr ? wide : crc32_clmul_folder();
    if (fold != nullptr && length >= CRC32_FOLD_MINIMUM) {
        const std::size_t blocks = length & ~std::size_t{15};
        value = fold(value, bytes, blocks);
        bytes += blocks;
        length -= blocks;
    }
    return crc32_sliced(value, bytes, length);
}

std::uint32_t crc32_combine(std::uint32_t crc_a, std::uint32_t crc_b, std::uint64_t length_b) {
    // The register is linear: B's value started from CRC32_INITIAL where the whole file's
    // went on from A's, and the difference of the two starts, carried over B's bytes as
    // over zeros, is all that separates them.
    return over_zero_bytes(crc_a ^ CRC32_INITIAL, length_b) ^ crc_b;
}

std::uint32_t crc32_sliced(std::uint32_t value, const std::uint8_t* bytes, std::size_t length) {
    const std::uint8_t* p = bytes;

    // Byte-wise loads keep this independent of alignment and endianness; the
    // compiler merges them where the target allows.
    while (length >= SLICES) {
        // The last twelve bytes do not depend on the running value: combine
        // them first, in pairs, so the loop-carried chain stays short.
        const std::uint32_t rest = ((SLICE<11>[p[4]] ^ SLICE<10>[p[5]]) ^ (SLICE<9>[p[6]] ^ SLICE<8>[p[7]])) ^
                                   ((SLICE<7>[p[8]] ^ SLICE<6>[p[9]]) ^ (SLICE<5>[p[10]] ^ SLICE<4>[p[11]])) ^
                                   ((SLICE<3>[p[12]] ^ SLICE<2>[p[13]]) ^ (SLICE<1>[p[14]] ^ SLICE<0>[p[15]]));
        value = ((SLICE<15>[(p[0] ^ value) & 0xFFu] ^ SLICE<14>[(p[1] ^ (value >> 8)) & 0xFFu]) ^
                 (SLICE<13>[(p[2] ^ (value >> 16)) & 0xFFu] ^ SLICE<12>[(p[3] ^ (value >> 24)) & 0xFFu])) ^
                rest;
        p += SLICES;
        length -= SLICES;
    }

    while (length-- > 0) value = SLICE<0>[(value ^ *p++) & 0xFFu] ^ (value >> 8);

    return value;
}

std::string format_crc32(std::uint32_t value) {
    static constexpr char HEX[] = "0123456789abcdef";
    const std::uint32_t crc = ~value;
    std::string text(8, '0');
    for (int i = 7, shift = 0; i >= 0; --i, shift += 4) text[static_cast<std::size_t>(i)] = HEX[(crc >> shift) & 0xFu];
    return text;
}

}  // namespace mendlet
