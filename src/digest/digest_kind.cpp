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

const wchar_t* digest_name(DigestKind kind) {
    switch (kind) {
        case DigestKind::crc32:
            return L"CRC32";
        case DigestKind::md5:
            return L"MD5";
        case DigestKind::sha1:
            return L"SHA-1";
        case DigestKind::sha256:
            return L"SHA-256";
        case DigestKind::sha512:
            return L"SHA-512";
        case DigestKind::blake2b:
            return L"BLAKE2b";
        case DigestKind::blake3:
            return L"BLAKE3";
    }
    return L"";
}

}  // namespace mendlet
