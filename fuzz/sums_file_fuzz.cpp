// Every checksum file but SFV: coreutils', BSD's, OpenSSL's, rhash's, FCIV's, certutil's and
// Get-FileHash's forms. Input: the file's bytes, as read from disk.
//
// Properties: those of every checksum file parser (checksum_fuzz.h), and for these files:
// - an entry reads back as itself when written as "TAG (name) = hex", "tag(sub/name)=HEX",
//   OpenSSL's "TAG(name)= hex", "TAG (name) = base64", coreutils' escaped "\TAG (dir\\name)
//   = hex", certutil's heading and hex in byte pairs (for a name that does not start with
//   "file "), Get-FileHash's list record and table row; and in the forms that name no kind,
//   "hex  name", "HEX *name", "hex name" and "hex<tab>name" (for a name that does not start
//   with '*'), "base64  name", escaped "\hex  dir\\name" and " \hex  name": read with its
//   kind declared by the file's name, and without where its length tells that kind;
// - escaped lines whose name holds a line break ("\n", "\r") read as nothing;
// - a declared kind adds only entries of its own kind: the entries read with one, but those
//   of that kind, and all of them when its length would tell it anyway (MD5, SHA-1, SHA-256,
//   SHA-512), stand in the same order among those read without; and changes none of the
//   entries of a kind that no length tells (CRC-32, BLAKE2b, BLAKE3), which lines name.

#include "checksum_fuzz.h"

namespace {

using mendlet::ChecksumEntry;
using mendlet::DigestKind;
using mendlet::fuzz::Entries;

std::string bsd_tag(DigestKind kind) {
    switch (kind) {
        case DigestKind::crc32:
            return "CRC32";
        case DigestKind::md5:
            return "MD5";
        case DigestKind::sha1:
            return "SHA1";
        case DigestKind::sha256:
            return "SHA256";
        case DigestKind::sha512:
            return "SHA512";
        case DigestKind::blake2b:
            return "BLAKE2b";
        case DigestKind::blake3:
            return "BLAKE3";
    }
    return "";
}

std::string openssl_tag(DigestKind kind) {
    if (kind == DigestKind::sha256) return "SHA2-256";
    if (kind == DigestKind::sha512) return "SHA2-512";
    if (kind == DigestKind::blake2b) return "BLAKE2B-512";
    return bsd_tag(kind);
}

std::string in_byte_pairs(const std::string& hex) {
    std::string spaced;
    for (std::size_t i = 0; i < hex.size(); i += 2) spaced += hex.substr(i, 2) + " ";
    return spaced;
}

bool is_length_kind(DigestKind kind) { return mendlet::hash_of_hex_length(mendlet::digest_hex_length(kind)) == kind; }

std::vector<std::string> tagged_forms(const ChecksumEntry& entry) {
    using mendlet::fuzz::ascii_upper;
    const std::string name = mendlet::fuzz::utf8_of(entry.name);
    const std::string tag = bsd_tag(entry.kind);
    const std::string upper_hex = ascii_upper(entry.hex);
    std::vector<std::string> forms{
        tag + " (" + name + ") = " + entry.hex,
        mendlet::fuzz::ascii_lower(tag) + "(sub/" + name + ")=" + upper_hex,
        openssl_tag(entry.kind) + "(" + name + ")= " + entry.hex,
        tag + " (" + name + ") = " + mendlet::fuzz::base64_of_hex(entry.hex),
        "\\" + tag + " (dir\\\\" + name + ") = " + entry.hex,
        "Algorithm : " + tag + "\r\nHash      : " + upper_hex + "\r\nPath      : C:\\x\\" + name,
        tag + "          " + upper_hex + "    C:\\in\\" + name};
    if (ascii_upper(name.substr(0, 5)) != "FILE ") forms.push_back(tag + " hash of " + name + ":\r\n" + in_byte_pairs(entry.hex));
    return forms;
}

std::vector<std::string> untagged_forms(const ChecksumEntry& entry) {
    const std::string name = mendlet::fuzz::utf8_of(entry.name);
    std::vector<std::string> forms{entry.hex + "  " + name, mendlet::fuzz::ascii_upper(entry.hex) + " *" + name,
                                   mendlet::fuzz::base64_of_hex(entry.hex) + "  " + name,
                                   "\\" + entry.hex + "  dir\\\\" + name, " \\" + entry.hex + "  " + name};
    if (name.front() != '*') {
        forms.push_back(entry.hex + " " + name);
        forms.push_back(entry.hex + "\t" + name);
    }
    return forms;
}

std::vector<std::string> written_forms(const ChecksumEntry& entry) {
    std::vector<std::string> forms = tagged_forms(entry);
    if (is_length_kind(entry.kind)) {
        const std::vector<std::string> untagged = untagged_forms(entry);
        forms.insert(forms.end(), untagged.begin(), untagged.end());
    }
    return forms;
}

Entries parse(std::string_view file, std::wstring_view subject) { return mendlet::parse_sums_file(file, subject); }

Entries parse_declared(std::string_view file, DigestKind declared) {
    return mendlet::parse_sums_file(file, {}, declared);
}

void check_declared_forms(const ChecksumEntry& entry) {
    for (const std::string& line : untagged_forms(entry))
        FUZZ_CHECK(mendlet::fuzz::lists_as(parse_declared("\n" + line, entry.kind), entry));
    const std::string name = mendlet::fuzz::utf8_of(entry.name);
    for (const char* line_break : {"\\n", "\\r"})
        FUZZ_CHECK(parse_declared("\n\\" + entry.hex + "  " + name + line_break + name, entry.kind).empty());
}

// Whether every entry of part stands in whole, in the same order.
bool stands_in(const Entries& part, const Entries& whole) {
    auto at = whole.begin();
    for (const ChecksumEntry& entry : part) {
        at = std::find(at, whole.end(), entry);
        if (at == whole.end()) return false;
        ++at;
    }
    return true;
}

void check_declarations(std::string_view file, const Entries& entries) {
    Entries named;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(named),
                 [](const ChecksumEntry& entry) { return !is_length_kind(entry.kind); });
    for (const DigestKind declared : mendlet::DIGEST_KINDS) {
        const Entries with = parse_declared(file, declared);
        Entries others;
        std::copy_if(with.begin(), with.end(), std::back_inserter(others), [declared](const ChecksumEntry& entry) {
            return entry.kind != declared || is_length_kind(declared);
        });
        FUZZ_CHECK(stands_in(others, entries));
        FUZZ_CHECK(stands_in(named, with));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const Entries entries = mendlet::fuzz::check_checksum_parser(parse, file, written_forms);
    for (const ChecksumEntry& entry : entries) check_declared_forms(entry);
    check_declarations(file, entries);
    return 0;
}
