// SFV files. Input: the file's bytes, as read from disk.
//
// Properties: those of every checksum file parser (checksum_fuzz.h), and for SFV: every
// entry is a CRC-32; an entry written back as "name CRC" (upper-case hex; for a name that
// would start a comment, behind a folder), "folder\name<tab>crc" or "name base64" reads back
// as itself; and every line made a comment yields nothing, even with a subject.

#include "checksum_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mendlet;
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const fuzz::Entries entries = fuzz::check_checksum_parser(parse_sfv_file, file, [](const ChecksumEntry& entry) {
        const std::string name = fuzz::utf8_of(entry.name);
        const std::string plain = name.front() == ';' ? "./" + name : name;
        return std::vector<std::string>{plain + " " + fuzz::ascii_upper(entry.hex),
                                        "folder\\" + name + "\t" + entry.hex,
                                        plain + " " + fuzz::base64_of_hex(entry.hex)};
    });
    for (const ChecksumEntry& entry : entries) FUZZ_CHECK(entry.kind == DigestKind::crc32);
    // A line of a file of NUL-ended lines stays one with its NUL.
    const std::string line_end = fuzz::holds_nul(file) ? std::string(1, '\0') : std::string();
    for (const std::string_view line : fuzz::line_pieces(file))
        FUZZ_CHECK(parse_sfv_file(";" + std::string(line) + line_end, L"subject.avi").empty());
    return 0;
}
