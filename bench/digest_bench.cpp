// Throughput of the digests against a byte-at-a-time CRC-32 and a plain memcpy, all over
// the same buffer in one run; each build or width of the digests that have several, as far
// as the processor runs them.
//
//   digest_bench [MiB] [runs] [file]     defaults: 256 MiB, best of 3 runs
//
// With a file, the buffer is written there first, for other programs to digest the same
// bytes.

#include "bench_support.h"
#include "digest/blake2b.h"
#include "digest/blake2b_paths.h"
#include "digest/blake3.h"
#include "digest/blake3_paths.h"
#include "digest/crc32.h"
#include "digest/crc32_paths.h"
#include "digest/md5.h"
#include "digest/sha1.h"
#include "digest/sha1_paths.h"
#include "digest/sha256.h"
#include "digest/sha256_paths.h"
#include "digest/sha512.h"
#include "digest/sha512_paths.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using mendlet::CRC32_INITIAL;
using mendlet::bench::best_seconds;
using mendlet::bench::splitmix64;

constexpr std::size_t CHUNK = 65536;

void fill_random(std::vector<std::uint8_t>& data) {
    std::uint64_t state = 0x4D656E646C6574ull;
    std::size_t i = 0;
    for (; i + 8 <= data.size(); i += 8) {
        const std::uint64_t word = splitmix64(state);
        for (std::size_t k = 0; k < 8; ++k) data[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
    }
    const std::uint64_t word = splitmix64(state);
    for (std::size_t k = 0; i < data.size(); ++i, ++k) data[i] = static_cast<std::uint8_t>(word >> (8 * k));
}

std::uint32_t crc_reference(const std::uint8_t* bytes, std::size_t length) {
    const auto& table = mendlet::crc32_table();
    std::uint32_t value = CRC32_INITIAL;
    for (std::size_t i = 0; i < length; ++i) value = table[(value ^ bytes[i]) & 0xFFu] ^ (value >> 8);
    return value;
}

bool write_file(const char* path, const std::vector<std::uint8_t>& data) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    file.close();
    return !file.fail();
}

// One of the SHA digests through its update in CHUNK-sized pieces: the best time, the
// digest, and the state before the padding, which for a buffer of whole blocks is that of
// the compression over the buffer alone.
template <typename Context, typename Digest, typename State>
double best_digest_seconds(int runs, const std::vector<std::uint8_t>& data, void (*init)(Context&),
                           void (*update)(Context&, const std::uint8_t*, std::size_t), Digest (*finish)(Context&),
                           Digest& digest, State& state) {
    return best_seconds(runs, [&] {
        Context context;
        init(context);
        for (std::size_t pos = 0; pos < data.size(); pos += CHUNK)
            update(context, data.data() + pos, std::min(CHUNK, data.size() - pos));
        std::copy(std::begin(context.state), std::end(context.state), state.begin());
        digest = finish(context);
    });
}

// A digest fed in CHUNK-sized pieces, started with init(context): the best time and the
// digest in hex.
template <typename Context, typename Init, typename Update, typename Finish>
double best_stream_seconds(int runs, const std::vector<std::uint8_t>& data, Init init, Update update, Finish finish,
                           std::string& hex) {
    static Context context;
    return best_seconds(runs, [&] {
        init(context);
        for (std::size_t pos = 0; pos < data.size(); pos += CHUNK)
            update(context, data.data() + pos, std::min(CHUNK, data.size() - pos));
        hex = finish(context);
    });
}

// The portable compression alone over the buffer of whole blocks.
template <typename Context, typename Compressor, typename State>
double best_compression_seconds(int runs, const std::vector<std::uint8_t>& data, void (*init)(Context&),
                                Compressor compress, State& state) {
    return best_seconds(runs, [&] {
        Context context;
        init(context);
        compress(context.state, data.data(), data.size() / sizeof context.buffer);
        std::copy(std::begin(context.state), std::end(context.state), state.begin());
    });
}

// Read through a volatile so the compiler cannot prove successive copies
// land in the same place and drop all but the last.
std::uint8_t* volatile g_copy_target = nullptr;

}  // namespace

int main(int argc, char** argv) {
    std::size_t mib = 256;
    int runs = 3;
    if (argc > 1) {
        const long value = std::strtol(argv[1], nullptr, 10);
        if (value <= 0) {
            std::fprintf(stderr, "usage: %s [MiB > 0] [runs > 0] [file]\n", argv[0]);
            return 2;
        }
        mib = static_cast<std::size_t>(value);
    }
    if (argc > 2) {
        const long value = std::strtol(argv[2], nullptr, 10);
        if (value <= 0 || value > 1000) {
            std::fprintf(stderr, "usage: %s [MiB > 0] [runs > 0] [file]\n", argv[0]);
            return 2;
        }
        runs = static_cast<int>(value);
    }

    const std::size_t size = mib * 1024 * 1024;
    std::vector<std::uint8_t> data(size);
    fill_random(data);
    if (argc > 3 && !write_file(argv[3], data)) {
        std::fprintf(stderr, "error: cannot write %s\n", argv[3]);
        return 2;
    }
    std::vector<std::uint8_t> copy_buffer(CHUNK);
    g_copy_target = copy_buffer.data();

    std::printf("buffer: %zu MiB, best of %d runs, chunk %zu bytes\n", mib, runs, CHUNK);

    // crc32_update folds with carry-less multiplication where the processor can.
    std::uint32_t updated = 0;
    const double t_update =
        best_seconds(runs, [&] { updated = mendlet::crc32_update(CRC32_INITIAL, data.data(), data.size()); });

    std::uint32_t sliced = 0;
    const double t_sliced =
        best_seconds(runs, [&] { sliced = mendlet::crc32_sliced(CRC32_INITIAL, data.data(), data.size()); });

    std::uint32_t reference = 0;
    const double t_reference = best_seconds(runs, [&] { reference = crc_reference(data.data(), data.size()); });

    std::array<std::uint8_t, 16> digest{};
    const double t_md5 = best_seconds(runs, [&] {
        mendlet::Md5Context context;
        mendlet::md5_init(context);
        for (std::size_t pos = 0; pos < size; pos += CHUNK)
            mendlet::md5_update(context, data.data() + pos, static_cast<std::uint32_t>(std::min(CHUNK, size - pos)));
        digest = mendlet::md5_final(context);
    });

    // sha1_update and sha256_update use the SHA extensions where the processor has them. The
    // buffer is whole blocks, so the state before the padding is that of the portable rounds
    // over it.
    std::array<std::uint8_t, 20> sha1_digest{};
    std::array<std::uint32_t, 5> sha1_state{};
    const double t_sha1 = best_digest_seconds(runs, data, mendlet::sha1_init, mendlet::sha1_update, mendlet::sha1_final,
                                              sha1_digest, sha1_state);
    std::array<std::uint32_t, 5> sha1_portable_state{};
    const double t_sha1_portable =
        best_compression_seconds(runs, data, mendlet::sha1_init, mendlet::sha1_portable, sha1_portable_state);

    std::array<std::uint8_t, 32> sha256_digest{};
    std::array<std::uint32_t, 8> sha256_state{};
    const double t_sha256 = best_digest_seconds(runs, data, mendlet::sha256_init, mendlet::sha256_update,
                                                mendlet::sha256_final, sha256_digest, sha256_state);
    std::array<std::uint32_t, 8> portable_state{};
    const double t_portable =
        best_compression_seconds(runs, data, mendlet::sha256_init, mendlet::sha256_portable, portable_state);

    // sha512_update uses the rounds compiled for AVX-512, or for AVX2 and BMI2, where the
    // processor has them.
    std::array<std::uint8_t, 64> sha512_digest{};
    std::array<std::uint64_t, 8> sha512_state{};
    const double t_sha512 = best_digest_seconds(runs, data, mendlet::sha512_init, mendlet::sha512_update,
                                                mendlet::sha512_final, sha512_digest, sha512_state);
    std::array<std::uint64_t, 8> sha512_portable_state{};
    const double t_sha512_portable =
        best_compression_seconds(runs, data, mendlet::sha512_init, mendlet::sha512_portable, sha512_portable_state);

    // SHA-512's build for AVX2 and BMI2 alone, as it runs on processors without AVX-512.
    std::array<std::uint64_t, 8> sha512_wide_state{};
    const mendlet::Sha512Compressor sha512_wide = mendlet::sha512_wide_compressor();
    const double t_sha512_wide =
        sha512_wide ? best_compression_seconds(runs, data, mendlet::sha512_init, sha512_wide, sha512_wide_state) : 0.0;

    std::string blake2b_hex;
    const double t_blake2b = best_stream_seconds<mendlet::Blake2bContext>(
        runs, data, mendlet::blake2b_init, mendlet::blake2b_update,
        [](mendlet::Blake2bContext& context) { return mendlet::format_blake2b(mendlet::blake2b_final(context)); },
        blake2b_hex);
    // The portable compression alone over the buffer's blocks, none of them the last.
    std::uint64_t blake2b_state[8] = {};
    const double t_blake2b_portable = best_seconds(runs, [&] {
        for (std::size_t pos = 0; pos + 128 <= size; pos += 128)
            mendlet::blake2b_portable(blake2b_state, data.data() + pos, pos + 128, 0, false);
    });

    // BLAKE3 as a join runs it, with the widest lanes the processor has, then each width.
    const auto blake3_with = [&](const mendlet::Blake3Lanes* way, std::string& hex) {
        return best_stream_seconds<mendlet::Blake3Context>(
            runs, data,
            [way](mendlet::Blake3Context& context) {
                way ? mendlet::blake3_init(context, *way) : mendlet::blake3_init(context);
            },
            mendlet::blake3_update,
            [](mendlet::Blake3Context& context) { return mendlet::format_blake3(mendlet::blake3_final(context)); },
            hex);
    };
    std::string blake3_hex;
    const double t_blake3 = blake3_with(nullptr, blake3_hex);
    const struct {
        const char* name;
        mendlet::Blake3Lanes way;
    } blake3_ways[] = {{"portable", mendlet::blake3_portable_lanes()},
                       {"sse4.1", mendlet::blake3_sse41_lanes()},
                       {"avx2", mendlet::blake3_avx2_lanes()},
                       {"avx-512", mendlet::blake3_avx512_lanes()}};
    const char* blake3_widest = "portable";
    std::vector<std::pair<const char*, double>> blake3_widths;
    for (const auto& [name, way] : blake3_ways) {
        if (way.hash == nullptr) continue;
        std::string hex;
        blake3_widths.emplace_back(name, blake3_with(&way, hex));
        blake3_widest = name;
        if (hex != blake3_hex) {
            std::fprintf(stderr, "error: BLAKE3 with %s lanes %s differs from %s\n", name, hex.c_str(),
                         blake3_hex.c_str());
            return 1;
        }
    }

    unsigned copy_check = 0;
    const double t_copy = best_seconds(runs, [&] {
        unsigned check = 0;
        for (std::size_t pos = 0; pos < size; pos += CHUNK) {
            std::uint8_t* target = g_copy_target;
            const std::size_t n = std::min(CHUNK, size - pos);
            std::memcpy(target, data.data() + pos, n);
            check += target[(pos / CHUNK) % n];
        }
        copy_check = check;
    });

    const double mebibytes = static_cast<double>(size) / (1024.0 * 1024.0);
    const double r_update = mebibytes / t_update;
    const double r_sliced = mebibytes / t_sliced;
    const double r_reference = mebibytes / t_reference;
    const double r_md5 = mebibytes / t_md5;
    const double r_sha1 = mebibytes / t_sha1;
    const double r_sha1_portable = mebibytes / t_sha1_portable;
    const double r_sha256 = mebibytes / t_sha256;
    const double r_portable = mebibytes / t_portable;
    const double r_sha512 = mebibytes / t_sha512;
    const double r_sha512_portable = mebibytes / t_sha512_portable;
    const double r_copy = mebibytes / t_copy;

    const char* folding = mendlet::crc32_wide_clmul_folder() ? "crc32 update (256-bit)"
                          : mendlet::crc32_clmul_folder()    ? "crc32 update (128-bit)"
                                                             : "crc32 update (sliced)";
    std::printf("%-20s%10.1f MiB/s  (%s)\n", folding, r_update, mendlet::format_crc32(updated).c_str());
    std::printf("crc32 sliced        %10.1f MiB/s  (%s)\n", r_sliced, mendlet::format_crc32(sliced).c_str());
    std::printf("crc32 byte-at-time  %10.1f MiB/s  (%s)\n", r_reference, mendlet::format_crc32(reference).c_str());
    std::printf("md5 (portable)      %10.1f MiB/s  (%s)\n", r_md5, mendlet::format_md5(digest).c_str());
    std::printf("%-20s%10.1f MiB/s  (%s)\n",
                mendlet::sha1_extensions_compressor() ? "sha1 (extensions)" : "sha1 (portable)", r_sha1,
                mendlet::format_sha1(sha1_digest).c_str());
    std::printf("sha1 portable       %10.1f MiB/s\n", r_sha1_portable);
    std::printf("%-20s%10.1f MiB/s  (%s)\n",
                mendlet::sha256_extensions_compressor() ? "sha256 (extensions)" : "sha256 (portable)", r_sha256,
                mendlet::format_sha256(sha256_digest).c_str());
    std::printf("sha256 portable     %10.1f MiB/s\n", r_portable);
    const char* sha512_rounds = mendlet::sha512_avx512_compressor() ? "sha512 (avx-512)"
                                : mendlet::sha512_wide_compressor() ? "sha512 (avx2)"
                                                                    : "sha512 (portable)";
    std::printf("%-20s%10.1f MiB/s  (%s)\n", sha512_rounds, r_sha512, mendlet::format_sha512(sha512_digest).c_str());
    if (sha512_wide) std::printf("sha512 avx2 build   %10.1f MiB/s\n", mebibytes / t_sha512_wide);
    std::printf("sha512 portable     %10.1f MiB/s\n", r_sha512_portable);
    std::printf("%-20s%10.1f MiB/s  (%s)\n",
                mendlet::blake2b_avx2_compressor() ? "blake2b (avx2)" : "blake2b (portable)", mebibytes / t_blake2b,
                blake2b_hex.c_str());
    std::printf("blake2b portable    %10.1f MiB/s  (check %016llx)\n", mebibytes / t_blake2b_portable,
                static_cast<unsigned long long>(blake2b_state[0]));
    std::printf("blake3 (%s)%*s%10.1f MiB/s  (%s)\n", blake3_widest, static_cast<int>(11 - std::strlen(blake3_widest)),
                "", mebibytes / t_blake3, blake3_hex.c_str());
    for (const auto& [name, seconds] : blake3_widths)
        std::printf("blake3 %-13s%10.1f MiB/s\n", name, mebibytes / seconds);
    std::printf("memcpy (64 KiB)     %10.1f MiB/s  (check %u)\n", r_copy, copy_check);
    std::printf("\n");
    std::printf("crc32 update / sliced         : %6.2fx\n", r_update / r_sliced);
    std::printf("crc32 sliced / byte-at-a-time : %6.2fx\n", r_sliced / r_reference);
    std::printf("crc32 sliced / memcpy         : %6.3f\n", r_sliced / r_copy);
    std::printf("crc32 byte-at-a-time / memcpy : %6.3f\n", r_reference / r_copy);
    std::printf("md5 / memcpy                  : %6.3f\n", r_md5 / r_copy);
    std::printf("sha1 / portable               : %6.2fx\n", r_sha1 / r_sha1_portable);
    std::printf("sha1 / memcpy                 : %6.3f\n", r_sha1 / r_copy);
    std::printf("sha256 / portable             : %6.2fx\n", r_sha256 / r_portable);
    std::printf("sha256 / memcpy               : %6.3f\n", r_sha256 / r_copy);
    std::printf("sha512 / portable             : %6.2fx\n", r_sha512 / r_sha512_portable);
    std::printf("sha512 / memcpy               : %6.3f\n", r_sha512 / r_copy);
    if (sha512_wide) std::printf("sha512 avx2 build / portable  : %6.2fx\n", t_sha512_portable / t_sha512_wide);
    std::printf("blake2b / portable            : %6.2fx\n", t_blake2b_portable / t_blake2b);
    std::printf("blake3 / portable             : %6.2fx\n", blake3_widths.front().second / t_blake3);

    if (sliced != reference || updated != reference) {
        std::fprintf(stderr, "error: CRC-32 %s (update), %s (sliced) differ from reference %s\n",
                     mendlet::format_crc32(updated).c_str(), mendlet::format_crc32(sliced).c_str(),
                     mendlet::format_crc32(reference).c_str());
        return 1;
    }
    if (sha1_state != sha1_portable_state) {
        std::fprintf(stderr, "error: SHA-1 of sha1_update and of the portable rounds differ\n");
        return 1;
    }
    if (sha256_state != portable_state) {
        std::fprintf(stderr, "error: SHA-256 of sha256_update and of the portable rounds differ\n");
        return 1;
    }
    if (sha512_state != sha512_portable_state || (sha512_wide && sha512_wide_state != sha512_portable_state)) {
        std::fprintf(stderr, "error: SHA-512 of sha512_update, the AVX2 build and the portable rounds differ\n");
        return 1;
    }
    return 0;
}
