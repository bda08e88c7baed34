#include "digest/digest_kind.h"

namespace mendlet {

std::size_t digest_hex_length(DigestKind kind) {
    switch (kind) {
        case DigestKind::crc32:
            return 8;
        case DigestKind::md5:
            return 32;
        case DigestKind::sha1:
            return 40;
        case DigestKind::sha256:
            return 64;
        case DigestKind::sha512:
            return 128;
    }
    return 0;
}

std::optional<DigestKind> hash_of_hex_length(std::size_t digits) {
    for (const DigestKind kind : DIGEST_KINDS)
        if (kind != DigestKind::crc32 && digest_hex_length(kind) == digits) return kind;
    return std::nullopt;
}

}  // namespace mendlet
