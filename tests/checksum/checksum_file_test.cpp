#include "checksum/checksum_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checksum/checksum_text.h"
#include "support/checksum_values.h"

namespace mendlet {
namespace {

using namespace test_support;

using Entries = std::vector<ChecksumEntry>;

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The bytes of the text in UTF-16 after its byte-order mark (the text is ASCII).
std::string utf16(const std::string& text, bool little_endian) {
    std::string bytes = little_endian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char c : text) bytes += little_endian ? std::string{c, '\0'} : std::string{'\0', c};
    return bytes;
}

ChecksumEntry crc(std::wstring name, std::wstring folder = {}) {
    return {std::move(name), DigestKind::crc32, CRC_A, std::move(folder)};
}
ChecksumEntry md5(std::wstring name, std::wstring folder = {}) {
    return {std::move(name), DigestKind::md5, MD5_A, std::move(folder)};
}
ChecksumEntry sha1(std::wstring name, std::wstring folder = {}) {
    return {std::move(name), DigestKind::sha1, SHA1_A, std::move(folder)};
}
ChecksumEntry sha256(std::wstring name, std::wstring folder = {}) {
    return {std::move(name), DigestKind::sha256, SHA256_A, std::move(folder)};
}
ChecksumEntry sha512(std::wstring name, std::wstring folder = {}) {
    return {std::move(name), DigestKind::sha512, SHA512_A, std::move(folder)};
}
ChecksumEntry blake2b(std::wstring name, std::wstring folder = {}) {
    return {std::move(name), DigestKind::blake2b, BLAKE2B_A, std::move(folder)};
}
// No tool here computes BLAKE3: its lines are written by hand, with a digest of its length.
ChecksumEntry blake3(std::wstring name) { return {std::move(name), DigestKind::blake3, SHA256_A}; }

// What rhash --base64 writes for "a".
const std::string CRC_A_BASE64 = "6Le+Qw==";
const std::string MD5_A_BASE64 = "DMF1ucDxtqgxw5niaXcmYQ==";
const std::string SHA1_A_BASE64 = "hvfkN/qlp/zhXR3cuerq6jd2Z7g=";
const std::string SHA256_A_BASE64 = "ypeBEsobvcr6wjGzmiPcTaeG7/gUfE5yuYB3ha/uSLs=";
const std::string SHA512_A_BASE64 =
    "H0D8ktokFpR1CXnubPWC8tXX0o4YM13gWrxU0FYOD1MChgxlK/CNVgJSql50IQVG82n7u86MEs/HlXsmUv6adQ==";
const std::string BLAKE2B_A_BASE64 =
    "Mz/LTuGqfBFTVexmzqyRfIv9gVv3WH0yWuwYZO3STjTVq+LGsbXuP6zmL+142++ALyqFy5HUVaj1JJ0zCFPLPA==";
// The digests of "a" of kinds that this program does not compute: BLAKE2b-256, SHA-384, SHA3-256.
const std::string BLAKE2B_256_A = "8928aae63c84d87ea098564d1e03ad813f107add474e56aedd286349c0c03ea4";
const std::string SHA384_A =
    "54a59b9f22b0b80880d8427e548b7c23abd873486e1f035dce9cd697e85175033caa88e6d57bc35efae0b5afd3145f31";
const std::string SHA3_256_A = "80084bf2fba02475726feb2cab2d8215eab14bc6bdd8bfb2c8151257032ecd8b";
const std::string NUL(1, '\0');

// Each row: a file as a tool writes it (the bytes it wrote here, for "a" in v.bin.001 and
// in files named ".\v.bin.001", "dl\v.bin.001" and "nl<LF>name.001", where the row names the
// tool and its options), and what it yields. The file's name chooses SFV or the others, and
// the kind it declares; the subject is the file it is named after.
TEST(ChecksumFileForms, EachToolsFormAndEncoding) {
    struct Row {
        const char* what;
        std::wstring file_name;
        std::string bytes;
        std::wstring subject;
        Entries entries;
    };
    const std::string sums = MD5_A + "  x y.avi\r\n" + SHA256_A + " *x y.avi\r\n";
    const std::vector<Row> rows{
        {"SFV: comments, either case, spaces in names, folders", L"x.sfv",
         "; made by a tool\n;x.000 " + CRC_A + "\nx y.001 " + upper(CRC_A) + "\n  two  spaces.002\t" + CRC_A +
             "  \nsub/x.003 " + CRC_A + "\nC:\\In\\x.004 " + CRC_A + "\n",
         L"", Entries{crc(L"x y.001"), crc(L"two  spaces.002"), crc(L"x.003", L"sub"), crc(L"x.004", L"C:\\In")}},
        {"SFV: damaged lines skipped", L"X.SFV.txt",
         "no-crc.001\n" + CRC_A + "\nseven.002 e8b7be4\nnine.003 e8b7be433\nprefixed.005 0xe8b7be43\nmd5.006 " + MD5_A +
             "\ncontrol\x01.008 " + CRC_A + "\nfolder-only/ " + CRC_A + "\ngood.009 " + CRC_A + "\n",
         L"", Entries{crc(L"good.009")}},
        {"coreutils: text and binary, the kind from the length", L"CHECKSUMS",
         MD5_A + "  x.avi\n" + upper(SHA1_A) + " *x.avi\n" + SHA256_A + "  ./sub/x y.avi\n" + SHA512_A +
             " **starred.avi\n",
         L"", Entries{md5(L"x.avi"), sha1(L"x.avi"), sha256(L"x y.avi", L"sub"), sha512(L"*starred.avi")}},
        {"md5 -r and FCIV: one space, // comments", L"checksums.txt",
         "//\n// File Checksum Integrity Verifier version 2.05.\n//\n" + MD5_A + " c:\\downloads\\x.avi\n" + SHA1_A +
             " x.avi.001\n",
         L"", Entries{md5(L"x.avi", L"c:\\downloads"), sha1(L"x.avi.001")}},
        {"BSD tags and OpenSSL's, in any case", L"checksums.txt",
         "MD5 (x.avi) = " + MD5_A + "\nSHA1 (x (1) = y.avi) = " + SHA1_A + "\nsha512(x.avi)= " + SHA512_A +
             "\nSHA2-256(x.avi)= " + upper(SHA256_A) + "\nSHA2-512( x.avi )=" + SHA512_A + "\n",
         L"", Entries{md5(L"x.avi"), sha1(L"x (1) = y.avi"), sha512(L"x.avi"), sha256(L"x.avi"), sha512(L"x.avi")}},
        {"lengths that belie the kind, kinds not computed, escapes not read, base64 not as written", L"x.sha256",
         "MD5 (a.avi) = " + SHA256_A + "\nSHA384 (b.avi) = " + SHA256_A + "\nBLAKE2b-256 (c.avi) = " + SHA256_A +
             "\nSHA3-256(c.avi)= " + SHA256_A + "\nCRC32 (d.avi) = " + MD5_A + "\n" + CRC_A + "  e.avi\n" + MD5_A +
             "0  f.avi\n" + MD5_A + "\tg.avi\n" + MD5_A_BASE64 + "  g.avi\n\\" + SHA256_A + "  h\\i.avi\n\\" +
             SHA256_A + "  h.avi\\\n\\" + SHA256_A + "  h\\ni.avi\n\\ " + SHA256_A + "  h.avi\n# " + SHA256_A +
             "  j.avi\n" + SHA256_A + "  \nSHA256 () = " + SHA256_A + "\nSHA256 (k.avi) = " +
             SHA256_A_BASE64.substr(0, 43) + "\nSHA256 (k.avi) = " + SHA256_A_BASE64.substr(0, 42) + "t=\n",
         L"", Entries{}},
        {"sha256sum and --tag on names with a backslash, as on Windows; a line feed's name skipped", L"v.bin.sha256",
         "\\" + SHA256_A + "  .\\\\v.bin.001\n\\" + SHA256_A + "  dl\\\\v.bin.001\n\\" + SHA256_A +
             "  nl\\nname.001\n\\SHA256 (dl\\\\v.bin.001) = " + SHA256_A + "\n",
         L"", Entries{sha256(L"v.bin.001"), sha256(L"v.bin.001", L"dl"), sha256(L"v.bin.001", L"dl")}},
        {"by hand: a tab after the digest, a blank before an escaped line", L"CHECKSUMS",
         SHA256_A + "\tv.bin.001\n" + MD5_A + "\t*v.bin.001\n \\" + SHA1_A + "  dl\\\\v.bin.001\n", L"",
         Entries{sha256(L"v.bin.001"), md5(L"v.bin.001"), sha1(L"v.bin.001", L"dl")}},
        {"md5sum -z: lines ended by NUL, names as they are", L"v.bin.md5",
         MD5_A + "  v.bin.001" + NUL + MD5_A + "  dl\\v.bin.001" + NUL + MD5_A + "  nl\nname.001" + NUL, L"",
         Entries{md5(L"v.bin.001"), md5(L"v.bin.001", L"dl")}},
        {"b2sum, --tag, -l 256 (another kind), a name with a backslash", L"B2SUMS",
         BLAKE2B_A + "  v.bin.001\nBLAKE2b (v.bin.001) = " + BLAKE2B_A + "\nBLAKE2b-256 (v.bin.001) = " +
             BLAKE2B_256_A + "\n" + BLAKE2B_256_A + "  v.bin.001\n\\" + BLAKE2B_A + "  dl\\\\v.bin.001\n",
         L"", Entries{blake2b(L"v.bin.001"), blake2b(L"v.bin.001"), blake2b(L"v.bin.001", L"dl")}},
        {"by hand: b3sum, BLAKE3 tags, the name's kind for untagged lines only", L"B3SUMS",
         SHA256_A + "  x.avi\n" + SHA512_A + "  y.avi\nBLAKE3 (z.avi) = " + SHA256_A +
             "\nSHA256 (w.avi) = " + SHA256_A + "\n",
         L"", Entries{blake3(L"x.avi"), blake3(L"z.avi"), sha256(L"w.avi")}},
        {"cksum -a sha256, blake2b, blake2b -l 256, sha256 --untagged, on dl\\v.bin.001, crc, sha384", L"checksums.txt",
         "SHA256 (v.bin.001) = " + SHA256_A + "\nBLAKE2b (v.bin.001) = " + BLAKE2B_A + "\nBLAKE2b-256 (v.bin.001) = " +
             BLAKE2B_256_A + "\n" + SHA256_A + "  v.bin.001\n\\SHA256 (dl\\\\v.bin.001) = " + SHA256_A +
             "\n1220704766 1 v.bin.001\nSHA384 (v.bin.001) = " + SHA384_A + "\n",
         L"", Entries{sha256(L"v.bin.001"), blake2b(L"v.bin.001"), sha256(L"v.bin.001"), sha256(L"v.bin.001", L"dl")}},
        {"by hand after its manual: cksum --base64, tagged and --untagged", L"v.bin.sha256",
         "SHA256 (v.bin.001) = " + SHA256_A_BASE64 + "\n" + SHA256_A_BASE64 + "  v.bin.001\n", L"",
         Entries{sha256(L"v.bin.001"), sha256(L"v.bin.001")}},
        // A digest whose first twelve bits are ones starts with "//", as comments do.
        {"base64 that starts as a comment does, and comments", L"v.bin.sha256",
         "// a comment\n//" + SHA256_A_BASE64.substr(2) + "  v.bin.001\n# //" + SHA256_A_BASE64.substr(2) + "  x\n",
         L"", Entries{{L"v.bin.001", DigestKind::sha256, "fff78112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb"}}},
        {"rhash --bsd --crc32 --md5 --sha1 --sha256 --sha512 --blake2b --sha3-256 --sha384", L"checksums.txt",
         "CRC32 (v.bin.001) = " + CRC_A + "\nMD5   (v.bin.001) = " + MD5_A + "\nSHA1  (v.bin.001) = " + SHA1_A +
             "\nSHA256 (v.bin.001) = " + SHA256_A + "\nSHA384 (v.bin.001) = " + SHA384_A + "\nSHA512 (v.bin.001) = " +
             SHA512_A + "\nSHA3-256 (v.bin.001) = " + SHA3_256_A + "\nBLAKE2b (v.bin.001) = " + BLAKE2B_A + "\n",
         L"",
         Entries{crc(L"v.bin.001"), md5(L"v.bin.001"), sha1(L"v.bin.001"), sha256(L"v.bin.001"), sha512(L"v.bin.001"),
                 blake2b(L"v.bin.001")}},
        {"rhash --base64 --sha256, --md5, with --bsd and more kinds: the length tells", L"CHECKSUMS",
         SHA256_A_BASE64 + "  v.bin.001\n" + MD5_A_BASE64 + "  v.bin.001\nCRC32 (v.bin.001) = " + CRC_A_BASE64 +
             "\nMD5   (v.bin.001) = " + MD5_A_BASE64 + "\nSHA1  (v.bin.001) = " + SHA1_A_BASE64 +
             "\nSHA256 (v.bin.001) = " + SHA256_A_BASE64 + "\nSHA512 (v.bin.001) = " + SHA512_A_BASE64 +
             "\nBLAKE2b (v.bin.001) = " + BLAKE2B_A_BASE64 + "\n",
         L"",
         Entries{sha256(L"v.bin.001"), md5(L"v.bin.001"), crc(L"v.bin.001"), md5(L"v.bin.001"), sha1(L"v.bin.001"),
                 sha256(L"v.bin.001"), sha512(L"v.bin.001"), blake2b(L"v.bin.001")}},
        {"rhash --base64 --crc32: an SFV file", L"v.bin.sfv",
         "; Generated by RHash v1.4.3 on 2026-12-09 at 03:48.39\n; Written by Kravchenko Aleksey (Akademgorodok) - "
         "http://rhash.sf.net/\n;\n;            1  03:48.39 2026-12-09 v.bin.001\nv.bin.001 " +
             CRC_A_BASE64 + "\n",
         L"", Entries{crc(L"v.bin.001")}},
        {"openssl dgst -blake2b512, -sha3-256, -r -blake2b512", L"v.bin.b2",
         "BLAKE2B-512(v.bin.001)= " + BLAKE2B_A + "\nSHA3-256(v.bin.001)= " + SHA3_256_A + "\n" + BLAKE2B_A +
             " *v.bin.001\n",
         L"", Entries{blake2b(L"v.bin.001"), blake2b(L"v.bin.001")}},
        {"certutil, today's and older Windows' with byte pairs apart", L"x.avi.sha256.txt",
         "SHA256 hash of C:\\In\\x.avi:\r\n" + SHA256_A +
             "\r\nCertUtil: -hashfile command completed successfully.\r\nSHA1 hash of file x.avi.001:\r\n86 f7 e4 37 "
             "fa a5 a7 fc e1 5d 1d dc b9 ea ea ea 37 76 67 b8\r\nSHA384 hash of x.avi:\r\n" +
             SHA256_A + MD5_A + "\r\nMD5 hash of x.avi:\r\nCertUtil: failed\r\n",
         L"x.avi", Entries{sha256(L"x.avi", L"C:\\In"), sha1(L"x.avi.001")}},
        {"Get-FileHash's list, a value wrapped onto the next lines", L"x.avi.sha512",
         "\r\nAlgorithm : SHA512\r\nHash      : " + upper(SHA512_A.substr(0, 100)) + "\r\n            " +
             upper(SHA512_A.substr(100)) + "\r\nPath      : C:\\Users\\me\\Down\r\n            loads\\x.avi\r\n\r\n" +
             "Algorithm : SHA256\r\nHash      : " + SHA256_A + "\r\nPath      : C:\\x.avi.001\r\n\r\n\r\n",
         L"x.avi", Entries{sha512(L"x.avi", L"C:\\Users\\me\\Downloads"), sha256(L"x.avi.001", L"C:")}},
        {"Get-FileHash's fields only in a record, which any line not indented ends", L"SHA256SUMS",
         "-----BEGIN PGP SIGNED MESSAGE-----\nHash: SHA256\n  " + SHA256_A +
             "  x.avi\nAlgorithm : SHA256\nHash : " + SHA256_A + "\nPath : C:\\y.avi\n" + SHA256_A + "  z.avi\n",
         L"", Entries{sha256(L"x.avi"), sha256(L"y.avi", L"C:"), sha256(L"z.avi")}},
        {"Get-FileHash's table", L"x.txt.sha256",
         "\r\nAlgorithm       Hash                                 Path\r\n---------       ----      ----\r\nSHA256     "
         "     " +
             upper(SHA256_A) + "       C:\\In\\x y.avi\r\nMD5 " + MD5_A + " x.avi.001\r\n\r\n",
         L"", Entries{sha256(L"x y.avi", L"C:\\In"), md5(L"x.avi.001")}},
        {"a bare digest names its subject", L"x.avi.sha256", upper(SHA256_A), L"x.avi", Entries{sha256(L"x.avi")}},
        {"of the kind its name declares", L"x.avi.b3", SHA256_A, L"x.avi", Entries{blake3(L"x.avi")}},
        {"with comments and blank lines", L"x.sha1", "# x.avi\n\n" + SHA1_A + "\r\n\r\n", L"x.avi",
         Entries{sha1(L"x.avi")}},
        {"an SFV's is a CRC-32", L"x.avi.sfv", "; x.avi\n" + CRC_A + "\n", L"x.avi", Entries{crc(L"x.avi")}},
        {"only alone", L"x.avi.md5", MD5_A + "\n" + MD5_A + "\n", L"x.avi", Entries{}},
        {"only in a file named after one", L"MD5SUMS", MD5_A + "\n", L"", Entries{}},
        {"a CRC-32 only in an SFV", L"x.avi.md5", CRC_A + "\n", L"x.avi", Entries{}},
        {"UTF-8 with and without its mark", L"x.md5",
         "\xEF\xBB\xBF" + MD5_A + "  \xc3\xa4rger \xe6\x97\xa5 \xf0\x9f\x8e\xac.avi\n", L"",
         Entries{md5(L"\u00e4rger \u65e5 \U0001F3AC.avi")}},
        {"UTF-8 marked, a line that is not stays out", L"x.md5",
         "\xEF\xBB\xBF" + MD5_A + "  \xc4.avi\n" + MD5_A + "  \xc3\x84.avi\n", L"", Entries{md5(L"\u00c4.avi")}},
        {"and the others keep their CR LF, records whole", L"x.sha256",
         "\xEF\xBB\xBF\r\nAlgorithm : SHA256\r\nHash      : " + SHA256_A + "\r\nPath      : C:\\x.avi\r\n\r\n\xc4\r\n",
         L"", Entries{sha256(L"x.avi", L"C:")}},
        {"UTF-16 little-endian", L"x.sfv", utf16("x y.001 " + CRC_A + "\r\n", true), L"", Entries{crc(L"x y.001")}},
        {"UTF-16 big-endian", L"CHECKSUMS", utf16(sums, false), L"", Entries{md5(L"x y.avi"), sha256(L"x y.avi")}},
        {"UTF-16 odd byte at the end", L"CHECKSUMS", utf16(sums, true) + "\x01", L"",
         Entries{md5(L"x y.avi"), sha256(L"x y.avi")}},
        {"no UTF-8: the ANSI code page", L"x.sfv", "\xe4rger.001 " + CRC_A + "\n\xc3\xa9.002 " + CRC_A + "\n", L"",
         Entries{crc(L"\u00e4rger.001"), crc(L"\u00c3\u00a9.002")}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(parse_checksum_file(row.file_name, row.bytes, row.subject), row.entries) << row.what;
}

TEST(ChecksumFileForms, AnyLineEndsAByteOrderMarkOnlyAtTheStart) {
    const std::vector<std::string> sfv{"; comment", "x y.001 " + CRC_A, "", "x y.002 " + CRC_A};
    const std::vector<std::string> sums{MD5_A + "  x y.avi", "", "SHA256 (x y.avi) = " + SHA256_A};
    const auto file = [](std::string start, const std::vector<std::string>& lines, const std::string& end) {
        for (const std::string& line : lines) start += line + end;
        return start;
    };
    for (const char* start : {"", "\xEF\xBB\xBF"}) {
        for (const std::string& end : {std::string("\n"), std::string("\r\n"), std::string("\r"), NUL}) {
            const std::string sfv_file = file(start, sfv, end);
            const std::string sums_file = file(start, sums, end);
            // The last line may lack its end.
            for (const std::size_t cut : {std::size_t{0}, end.size()}) {
                EXPECT_EQ(parse_sfv_file(sfv_file.substr(0, sfv_file.size() - cut)),
                          (Entries{crc(L"x y.001"), crc(L"x y.002")}));
                EXPECT_EQ(parse_sums_file(sums_file.substr(0, sums_file.size() - cut)),
                          (Entries{md5(L"x y.avi"), sha256(L"x y.avi")}));
            }
        }
    }
    EXPECT_EQ(parse_sums_file(MD5_A + "  a.avi\n\xEF\xBB\xBFMD5 (b.avi) = " + MD5_A), (Entries{md5(L"a.avi")}));
}

// The text is decoded a piece of about 32 KiB at a time: a long file reads line for line as
// a short one, in every encoding and with every line end, wherever the pieces part it. One
// empty line too many where they part would end a Get-FileHash record before its path.
TEST(ChecksumFileForms, ALongFileReadsLineForLine) {
    std::vector<std::string> names;
    Entries sfv_entries;
    Entries record_entries;
    for (int i = 0; i < 1200; ++i) {
        names.push_back(std::string(static_cast<std::size_t>(i % 37) + 1, 'v') + '.' + std::to_string(i));
        const std::wstring name(names.back().begin(), names.back().end());
        sfv_entries.push_back(crc(name));
        record_entries.push_back(sha256(name, L"C:\\dl"));
    }
    for (const std::string& end : {std::string("\n"), std::string("\r\n"), std::string("\r"), NUL}) {
        std::string sfv;
        std::string records;
        for (const std::string& name : names) {
            sfv += name + " " + CRC_A + end;
            records += "Algorithm : SHA256" + end + "Hash : " + SHA256_A + end + "Path : C:\\dl\\" + name + end + end;
        }
        for (const auto& encoded : {+[](const std::string& text) { return text; },
                                    +[](const std::string& text) { return "\xEF\xBB\xBF" + text; },
                                    +[](const std::string& text) { return utf16(text, true); },
                                    +[](const std::string& text) { return utf16(text, false); }}) {
            EXPECT_EQ(parse_sfv_file(encoded(sfv)), sfv_entries) << testing::PrintToString(end);
            EXPECT_EQ(parse_sums_file(encoded(records)), record_entries) << testing::PrintToString(end);
        }
        // A byte that is no UTF-8 in a later piece makes the first the ANSI code page's too;
        // in a file marked as UTF-8 it loses its own line only.
        const std::string utf8_first = "\xc3\xa9.000 " + CRC_A + end;
        const std::string no_utf8 = "\xe9.001 " + CRC_A + end;
        Entries ansi{crc(L"\u00c3\u00a9.000")};
        ansi.insert(ansi.end(), sfv_entries.begin(), sfv_entries.end());
        ansi.push_back(crc(L"\u00e9.001"));
        EXPECT_EQ(parse_sfv_file(utf8_first + sfv + no_utf8), ansi) << testing::PrintToString(end);
        Entries marked{crc(L"\u00e9.000")};
        for (int copy = 0; copy < 2; ++copy) marked.insert(marked.end(), sfv_entries.begin(), sfv_entries.end());
        EXPECT_EQ(parse_sfv_file("\xEF\xBB\xBF" + utf8_first + sfv + no_utf8 + sfv), marked)
            << testing::PrintToString(end);
    }
}

// A file may name one part on tens of thousands of lines: its entries hold the name once.
TEST(ChecksumFileEntries, ANameListedAgainIsHeldOnce) {
    const Entries entries =
        parse_sfv_file("CD1\\x.001 " + CRC_A + "\r\nx.002 " + CRC_A + "\r\nCD1/x.001 " + CRC_B + "\r\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(std::wstring_view(entries[0].name).data(), std::wstring_view(entries[2].name).data());
    EXPECT_EQ(std::wstring_view(entries[0].folder).data(), std::wstring_view(entries[2].folder).data());
}

TEST(ChecksumFileForms, ALongerFileIsCutAfterItsLastWholeLine) {
    // Read one byte beyond the limit, so that a line ending right at the limit is whole.
    struct Row {
        std::string bytes;
        std::size_t limit;
        std::string kept;
    };
    const std::string le = utf16("ab\ncd", true);
    const std::string be = utf16("ab\ncd", false);
    // U+0A41 holds the byte of a line feed, which is no line end.
    const std::string unit_with_0a("\xFF\xFE\x41\x0A\x0A\x00\x41\x00", 8);
    const std::string nul_le = utf16("ab" + NUL + "cd", true);
    const std::vector<Row> rows{
        {"ab\ncd\nef", 8, "ab\ncd\nef"},
        {"ab\ncd\nef", 5, "ab\ncd"},
        {"ab\ncd\nef", 4, "ab"},
        {"ab\r\ncd\r\nef", 7, "ab\r\ncd\r"},
        {"ab\r\ncd\r\nef", 5, "ab\r"},
        {"abcdef\n", 6, "abcdef"},
        {"abcdef\n", 5, ""},
        {"abcdef", 6, "abcdef"},
        // In UTF-16 a line ends at a whole unit, read in full.
        {le, 9, le.substr(0, 6)},
        {le, 7, le.substr(0, 6)},
        {le, 6, ""},
        {be, 7, be.substr(0, 6)},
        {unit_with_0a, 6, unit_with_0a.substr(0, 4)},
        {unit_with_0a, 4, ""},
        {"\xFF\xFE\x0A", 1, ""},
        // Where NUL ends lines, the NUL stays, so that what is kept ends its lines at NUL too.
        {"a\nb" + NUL + "c\nd" + NUL + "ef", 8, "a\nb" + NUL + "c\nd" + NUL},
        {"a\nb" + NUL + "c\nd" + NUL + "ef", 6, "a\nb" + NUL},
        {"a" + NUL + "b" + NUL + "c", 3, "a" + NUL},
        {nul_le, 9, nul_le.substr(0, 8)},
    };
    for (const Row& row : rows) EXPECT_EQ(whole_lines_within(row.bytes, row.limit), row.kept) << row.limit;
}

}  // namespace
}  // namespace mendlet
