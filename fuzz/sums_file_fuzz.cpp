// Every checksum file but SFV: coreutils', BSD's, OpenSSL's, FCIV's, certutil's and
// Get-FileHash's forms. Input: the file's bytes, as read from disk.
//
// Properties: those of every checksum file parser (checksum_fuzz.h), and for these files:
// no entry is a CRC-32; an entry reads back as itself when written as "hex  name",
// "HEX *name", "hex name" (for a name that does not start with '*'), "TAG (name) = hex",
// "tag(sub/name)=HEX", OpenSSL's "TAG(name)= hex", certutil's heading and hex in byte pairs
// (for a name that does not start with "file "), Get-FileHash's list record and table row.

#include "checksum_fuzz.h"

namespace {

using mendlet::ChecksumEntry;
using mendlet::DigestKind;

std::string bsd_tag(DigestKind kind) {
    switch (kind) {
        case DigestKind::md5:
            return "MD5";
        case DigestKind::sha1:
            return "SHA1";
        case DigestKind::sha256:
            return "SHA256";
        default:
            return "SHA512";
    }
}

std::string openssl_tag(DigestKind kind) {
    if (kind == DigestKind::sha256) return "SHA2-256";
    if (kind == DigestKind::sha512) return "SHA2-512";
    return bsd_tag(kind);
}

std::string in_byte_pairs(const std::string& hex) {
    std::string spaced;
    for (std::size_t i = 0; i < hex.size(); i += 2) spaced += hex.substr(i, 2) + " ";
    return spaced;
}

std::vector<std::string> written_forms(const ChecksumEntry& entry) {
    using mendlet::fuzz::ascii_upper;
    const std::string name = mendlet::fuzz::utf8_of(entry.name);
    const std::string tag = bsd_tag(entry.kind);
    const std::string upper_hex = ascii_upper(entry.hex);
    std::vector<std::string> forms{entry.hex + "  " + name,
                                   upper_hex + " *" + name,
                                   tag + " (" + name + ") = " + entry.hex,
                                   mendlet::fuzz::ascii_lower(tag) + "(sub/" + name + ")=" + upper_hex,
                                   openssl_tag(entry.kind) + "(" + name + ")= " + entry.hex,
                                   "Algorithm : " + tag + "\r\nHash      : " + upper_hex + "\r\nPath      : C:\\x\\" + name,
                                   tag + "          " + upper_hex + "    C:\\in\\" + name};
    if (name.front() != '*') forms.push_back(entry.hex + " " + name);
    if (ascii_upper(name.substr(0, 5)) != "FILE ") forms.push_back(tag + " hash of " + name + ":\r\n" + in_byte_pairs(entry.hex));
    return forms;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mendlet;
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const fuzz::Entries entries = fuzz::check_checksum_parser(parse_sums_file, file, written_forms);
    for (const ChecksumEntry& entry : entries) FUZZ_CHECK(entry.kind != DigestKind::crc32);
    return 0;
}
