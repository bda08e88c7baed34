#pragma once
// The digests of some bytes in one call each, as the program shows and checksum files list
// them: what the join tests compare the join's own pass with.

#include <cstdint>
#include <string>
#include <vector>

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

}  // namespace mendlet::test_support
