// md5sum's and sha256sum's files, GNU and BSD lines. Input: the file's bytes, as read from
// disk.
//
// Properties: those of every checksum file parser (checksum_fuzz.h), and for these files:
// every entry is an MD5 or a SHA-256; an entry written back as "hex  name", "HEX *name",
// "MD5 (name) = hex" or "SHA256 (name) = hex" (by its kind), with a lower-case tag and no
// blanks, or behind a folder, reads back as itself.

#include "checksum_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mendlet;
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const fuzz::Entries entries = fuzz::check_checksum_parser(parse_sums_file, file, [](const ChecksumEntry& entry) {
        const std::string name = fuzz::utf8_of(entry.name);
        const bool md5 = entry.kind == DigestKind::md5;
        const std::string upper_hex = fuzz::ascii_upper(entry.hex);
        return std::vector<std::string>{entry.hex + "  " + name, upper_hex + " *" + name,
                                        (md5 ? "MD5 (" : "SHA256 (") + name + ") = " + entry.hex,
                                        (md5 ? "md5(sub/" : "sha256(sub/") + name + ")=" + upper_hex};
    });
    for (const ChecksumEntry& entry : entries)
        FUZZ_CHECK(entry.kind == DigestKind::md5 || entry.kind == DigestKind::sha256);
    return 0;
}
