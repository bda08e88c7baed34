#include "digest/digest_kind.h"

#include <initializer_list>

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
        case DigestKind::blake3:
            return 64;
        case DigestKind::sha512:
        case DigestKind::blake2b:
            return 128;
    }
    return 0;
}

std::optional<DigestKind> hash_of_hex_length(std::size_t digits) {
    for (const DigestKind kind : {DigestKind::md5, DigestKind::sha1, DigestKind::sha256, DigestKind::sha512})
        if (digest_hex_length(kind) == digits) return kind;
    return std::nullopt;
}

}  // namespace mendlet
