#pragma once
// The digests of one job, of the joined file and of its parts, fed once, in order, as the
// bytes pass. The CRC-32 is taken part by part and the whole file's comes from combining
// the parts' (no second pass); an MD5 or SHA-256 of a part only where one is asked for.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "checksum/checksum_file.h"
#include "digest/md5.h"
#include "digest/sha256.h"

namespace mendlet {

struct DigestKinds {
    bool crc32 = false;
    bool md5 = false;
    bool sha256 = false;

    bool has(DigestKind kind) const;
    void add(DigestKind kind);
    bool any() const { return crc32 || md5 || sha256; }
};

class PartDigests {
public:
    // For parts.size() parts. part_done(index) is called on the feeding thread as soon as the
    // digests of that part are complete.
    PartDigests(DigestKinds whole_file, std::vector<DigestKinds> parts,
                std::function<void(std::uint32_t)> part_done = {});

    // The next bytes of a part. Parts come in list order; a part passed over is empty.
    void feed(std::uint32_t part, const std::uint8_t* bytes, std::size_t length);
    // Ends the part being fed and every later one, as empty.
    void finish();

    // Lower-case hex of a digest that is complete; empty for one not asked for.
    std::string whole_file(DigestKind kind) const;
    std::string part(std::uint32_t index, DigestKind kind) const;

private:
    void begin_part();
    void end_part();

    DigestKinds whole_kinds_;
    std::vector<DigestKinds> part_kinds_;
    std::function<void(std::uint32_t)> part_done_;
    bool crc_ = false;
    std::uint32_t current_ = 0;
    // Parts whose digests are complete: those before this one.
    std::uint32_t done_ = 0;
    bool finished_ = false;

    std::uint32_t whole_crc_;
    std::uint32_t part_crc_ = 0;
    std::uint64_t part_length_ = 0;
    Md5Context whole_md5_{};
    Md5Context part_md5_{};
    Sha256Context whole_sha256_{};
    Sha256Context part_sha256_{};

    std::string whole_md5_hex_;
    std::string whole_sha256_hex_;
    // By part: the CRC-32s (running values) and the hex of the others asked for.
    std::vector<std::uint32_t> part_crcs_;
    std::vector<std::string> part_md5_hex_;
    std::vector<std::string> part_sha256_hex_;
};

}  // namespace mendlet
