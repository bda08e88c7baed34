#pragma once
// One of the hashes (MD5, SHA-1, SHA-256, SHA-512, BLAKE2b, BLAKE3), chosen when it starts and fed
// incrementally: for code that computes whichever a checksum file lists.

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "digest/blake2b.h"
#include "digest/blake3.h"
#include "digest/digest_kind.h"
#include "digest/md5.h"
#include "digest/sha1.h"
#include "digest/sha256.h"
#include "digest/sha512.h"

namespace mendlet {

class Hasher {
public:
    // Any kind but the CRC-32.
    explicit Hasher(DigestKind kind);

    DigestKind kind() const { return kind_; }
    void update(const std::uint8_t* bytes, std::size_t length);
    // The digest in lower-case hex; the hasher is spent afterwards.
    std::string finish();

private:
    DigestKind kind_;
    std::variant<Md5Context, Sha1Context, Sha256Context, Sha512Context, Blake2bContext, Blake3Context> context_;
};

}  // namespace mendlet
