#pragma once
// The digests of some bytes in one call each, as the program shows and checksum files list
// them: what the join tests compare the join's own pass with.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "digest/blake2b.h"
#include "digest/blake3.h"
#include "digest/crc32.h"
#include "digest/md5.h"
#include "digest/sha1.h"
#include "digest/sha256.h"
#include "digest/sha512.h"

namespace mendlet::test_support {

inline std::string crc_text(const std::vector<std::uint8_t>& bytes) {
    return format_crc32(crc32_update(CRC32_INITIAL, bytes.data(), bytes.size()));
}

inline std::string md5_text(const std::vector<std::uint8_t>& bytes) {
    Md5Context context;
    md5_init(context);
    md5_update(context, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return format_md5(md5_final(context));
}

inline std::string sha1_text(const std::vector<std::uint8_t>& bytes) {
    Sha1Context context;
    sha1_init(context);
    sha1_update(context, bytes.data(), bytes.size());
    return format_sha1(sha1_final(context));
}

inline std::string sha256_text(const std::vector<std::uint8_t>& bytes) {
    Sha256Context context;
    sha256_init(context);
    sha256_update(context, bytes.data(), bytes.size());
    return format_sha256(sha256_final(context));
}

inline std::string sha512_text(const std::vector<std::uint8_t>& bytes) {
    Sha512Context context;
    sha512_init(context);
    sha512_update(context, bytes.data(), bytes.size());
    return format_sha512(sha512_final(context));
}

inline std::string blake2b_text(const std::vector<std::uint8_t>& bytes) {
    Blake2bContext context;
    blake2b_init(context);
    blake2b_update(context, bytes.data(), bytes.size());
    return format_blake2b(blake2b_final(context));
}

inline std::string blake3_text(const std::vector<std::uint8_t>& bytes) {
    const auto context = std::make_unique<Blake3Context>();
    blake3_init(*context);
    blake3_update(*context, bytes.data(), bytes.size());
    return format_blake3(blake3_final(*context));
}

}  // namespace mendlet::test_support
