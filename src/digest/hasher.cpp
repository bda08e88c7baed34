#include "digest/hasher.h"

#include <algorithm>

namespace mendlet {

Hasher::Hasher(DigestKind kind) : kind_(kind) {
    if (kind == DigestKind::sha1)
        sha1_init(context_.emplace<Sha1Context>());
    else if (kind == DigestKind::sha256)
        sha256_init(context_.emplace<Sha256Context>());
    else if (kind == DigestKind::sha512)
        sha512_init(context_.emplace<Sha512Context>());
    else if (kind == DigestKind::blake2b)
        blake2b_init(context_.emplace<Blake2bContext>());
    else if (kind == DigestKind::blake3)
        blake3_init(context_.emplace<Blake3Context>());
    else
        md5_init(context_.emplace<Md5Context>());
}

void Hasher::update(const std::uint8_t* bytes, std::size_t length) {
    if (Md5Context* md5 = std::get_if<Md5Context>(&context_)) {
        // MD5 counts its input in 32-bit lengths.
        for (std::size_t piece; length > 0; bytes += piece, length -= piece) {
            piece = std::min<std::size_t>(length, 0x80000000u);
            md5_update(*md5, bytes, static_cast<std::uint32_t>(piece));
        }
    } else if (Sha1Context* sha1 = std::get_if<Sha1Context>(&context_)) {
        sha1_update(*sha1, bytes, length);
    } else if (Sha256Context* sha256 = std::get_if<Sha256Context>(&context_)) {
        sha256_update(*sha256, bytes, length);
    } else if (Sha512Context* sha512 = std::get_if<Sha512Context>(&context_)) {
        sha512_update(*sha512, bytes, length);
    } else if (Blake2bContext* blake2b = std::get_if<Blake2bContext>(&context_)) {
        blake2b_update(*blake2b, bytes, length);
    } else {
        blake3_update(std::get<Blake3Context>(context_), bytes, length);
    }
}

std::string Hasher::finish() {
    if (Md5Context* md5 = std::get_if<Md5Context>(&context_)) return format_md5(md5_final(*md5));
    if (Sha1Context* sha1 = std::get_if<Sha1Context>(&context_)) return format_sha1(sha1_final(*sha1));
    if (Sha256Context* sha256 = std::get_if<Sha256Context>(&context_)) return format_sha256(sha256_final(*sha256));
    if (Sha512Context* sha512 = std::get_if<Sha512Context>(&context_)) return format_sha512(sha512_final(*sha512));
    if (Blake2bContext* blake2b = std::get_if<Blake2bContext>(&context_)) return format_blake2b(blake2b_final(*blake2b));
    return format_blake3(blake3_final(std::get<Blake3Context>(context_)));
}

}  // namespace mendlet
