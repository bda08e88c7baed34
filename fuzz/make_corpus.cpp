// Writes the seed corpora of the fuzz targets, each in the form its target reads (see the
// comment at the top of each *_fuzz.cpp): settings files made by the real encoders, list
// files, the shipped language files and a small one of our own, format texts, update
// answers, command lines, checksum files and PAR 2.0 files of hand-made packets. Files named crash-* beside them are inputs
// that once found a fault; this program leaves them alone. Usage: fuzz_make_corpus
// CORPUS_DIR LANG_DIR

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <string>
#include <vector>

#include "checksum_fuzz.h"
#include "settings/settings_file.h"
#include "support/par2_packets.h"
#include "support/test_data.h"

namespace fs = std::filesystem;
using namespace mendlet;

namespace {

using Bytes = std::vector<std::uint8_t>;

fs::path corpus;

void write(const std::string& target, const std::string& name, const Bytes& bytes) {
    fs::create_directories(corpus / target);
    std::ofstream out(corpus / target / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes& operator+=(Bytes& bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return bytes;
}

// UTF-16 units, little-endian: every wchar_t here is one unit.
Bytes utf16(std::wstring_view text) {
    Bytes bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

// settings_file: one byte of SettingsFile length, the SettingsFile, the StringsFile.
void settings_seed(const std::string& name, const Bytes& settings_file, const Bytes& strings_file) {
    Bytes bytes{static_cast<std::uint8_t>(settings_file.size())};
    bytes += settings_file;
    bytes += strings_file;
    write("settings_file", name, bytes);
}

Bytes strings_file(const std::wstring& folder) {
    Settings settings;
    settings.custom_output_path = folder;
    return encode_strings_file(settings);
}

void settings_seeds() {
    Settings settings;
    WindowState window;
    const auto defaults = encode_settings_file(settings, window);
    settings_seed("defaults", Bytes(defaults.begin(), defaults.end()), strings_file(L""));

    settings.skip_missing_test_on_load = true;
    settings.test_size_before_join = true;
    settings.sort_by_whole_path = true;
    settings.remove_all_after_join = false;
    settings.recurse_subfolders = true;
    settings.use_custom_output_path = true;
    settings.check_version_on_start = false;
    window.auto_sort = false;
    window.md5_enabled = true;
    window.hash_shown = true;
    window.window_left = -200;
    window.window_top = 0x01020304;
    window.language_id = 1031;
    const auto custom = encode_settings_file(settings, window);
    settings_seed("custom-folder", Bytes(custom.begin(), custom.end()), strings_file(L"D:\\Ausgabe"));

    settings.remember_window_position = false;
    const auto forgotten = encode_settings_file(settings, window);
    settings_seed("position-not-remembered", Bytes(forgotten.begin(), forgotten.end()), {});

    // Older revisions: 5 lacks the later fields, 4 stored whether the hash area was hidden.
    Bytes old(custom.begin(), custom.end());
    old[2] = 5;
    settings_seed("revision-5", old, strings_file(L"D:\\out"));
    old[2] = 4;
    settings_seed("revision-4", old, {});
    // The shortest file read, and one byte more than is written.
    settings_seed("eight-bytes", Bytes(custom.begin(), custom.begin() + 8), {});
    Bytes longer(custom.begin(), custom.end());
    longer.push_back(1);
    settings_seed("forty-bytes", longer, strings_file(L"E:\\joined"));
}

void strings_seeds() {
    write("strings_file", "folder", strings_file(L"D:\\out"));
    write("strings_file", "empty", strings_file(L""));
    // Accents, CJK and a pair of surrogates.
    write("strings_file", "non-ascii",
          strings_file(L"D:\\Ausgabe \u00e4\u00df\\\u65e5\u672c" +
                       std::wstring(sizeof(wchar_t) == 2 ? L"\xD83D\xDE00" : L"\U0001F600")));
    Bytes two = strings_file(L"C:\\first");
    two += strings_file(L"C:\\second");
    write("strings_file", "later-record-replaces", two);
    Bytes damaged = strings_file(L"C:\\kept");
    damaged += {9, 0, 2, 0, 'b', 0, 0, 0};
    damaged += strings_file(L"C:\\not read");
    write("strings_file", "unknown-tag", damaged);
}

// list_file: choices (short reads, file shrank, runs; seed; moves back that succeed; shrink) and the file.
void list_seed(const std::string& name, Bytes choices, const Bytes& file) {
    choices += file;
    write("list_file", name, choices);
}

// A run of L * L * 17 + M bytes C in the list target's input.
Bytes run(std::uint8_t l, char c, std::uint8_t m) { return {0, l, static_cast<std::uint8_t>(c), m}; }

void list_seeds() {
    const Bytes exported = bytes_of("C:\\Parts\\movie.avi.001\r\nC:\\Parts\\movie.avi.002\r\nD:\\Other\\x y.003\r\n");
    list_seed("exported", {0, 0, 255, 0}, exported);
    list_seed("short-reads", {1, 42, 255, 0}, exported);
    list_seed("line-ends-and-empty-lines", {1, 7, 255, 0},
              bytes_of("\r\n\na.001\n\n\r\rb b.002\r\n\r\n c.003\rD:\\\xc3\xa4\xc3\x9f\\\xe6\x97\xa5.004"));
    list_seed("shrank", {2, 0, 255, 9}, exported);
    // Lines of 600 KiB across the pieces, read again after a move back; once refused.
    Bytes long_lines = bytes_of("C:\\a.001\n");
    for (char c : {'x', 'y', 'z'}) {
        long_lines += run(190, c, 0);
        long_lines.push_back('\n');
    }
    list_seed("lines-across-pieces", {4, 0, 255, 0}, long_lines);
    list_seed("move-back-refused", {5, 3, 0, 0}, long_lines);
    // A line longer than a piece.
    Bytes too_long = bytes_of("C:\\a.001\r\n");
    too_long += run(249, 'x', 0);
    too_long += bytes_of("\r\nC:\\b.002\r\n");
    list_seed("line-too-long", {4, 0, 255, 0}, too_long);
}

void language_seeds(const fs::path& lang) {
    for (const char* name : {"German.lng", "French.lng"}) {
        std::ifstream in(lang / name, std::ios::binary);
        const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE)
            std::cerr << "warning: " << (lang / name) << " is not UTF-16 with a byte-order mark\n";
        write("language_file", name, bytes);
    }
    // One character per byte: escapes, a placeholder out of order, a value too long, odd
    // case and blanks.
    std::string file =
        "[translation]\r\nlang=Test\r\nlaid=0\r\n\r\n[list_tooltip]\r\n"
        "000 = Pfad:\\t %s\\r\\nGr\xf6\xdf"
        "e:\\t %s\\r\\nNummer:\\t %d\\r\\nStatus:\\t %s\r\n"
        "[ABOUT]\r\n000=%d about %s\r\n001=\r\n[menu]\r\n001=Always &on top\\tCtrl + T\r\n"
        "[messages]\r\n024=Eigener Pfad: \"%s\"\r\n025=";
    file += std::string(600, 'w');
    file += "\r\n[controls]\r\n000=Auto\\n\r\n";
    write("language_file", "escapes-and-limits.lng", bytes_of(file));
}

// text_format: argument count, each argument, the format text.
void format_seed(const std::string& name, const Bytes& args, std::wstring_view format) {
    Bytes bytes = args;
    bytes += utf16(format);
    write("text_format", name, bytes);
}

void format_seeds() {
    Bytes two_texts{2, 0, 5};
    two_texts += utf16(L"2.5.0");
    two_texts += {0, 10};
    two_texts += utf16(L"2015-06-01");
    format_seed("update-offer", two_texts, L"Mendlet %s (%s) is available. Would you like to open download page?");
    Bytes tooltip{4, 0, 3};
    tooltip += utf16(L"a.1");
    tooltip += {0, 2};
    tooltip += utf16(L"10");
    tooltip += {1, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2};
    tooltip += utf16(L"ok");
    format_seed("tooltip", tooltip, L"Path:\t %s\r\nSize:\t %s\r\nOrdinal:\t %d\r\nStatus:\t %s");
    format_seed("numbers", {3, 1, 0, 0, 0, 0x80, 2, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0xFF, 0xFF, 0xFF, 0xFF},
                L"%d|%u|%u %% %s");
    format_seed("too-few-arguments", {1, 0, 3, 'o', 0, 'n', 0, 'e', 0}, L"%s and %s and %d");
    format_seed("not-placeholders", {1, 1, 1, 0, 0, 0}, L"%x %n %p %5d 100%");
}

void update_seeds() {
    write("update_answer", "newer",
          bytes_of("[response]\r\nupdate=1\r\nversion=2.5.0\r\ndownload=https://tessvane.example/mendlet/download\r\n"
                   "date=2015-06-01\r\n"));
    write("update_answer", "up-to-date", bytes_of("[response]\r\nupdate=0\r\n"));
    write("update_answer", "not-a-web-address",
          bytes_of("[response]\r\nupdate=1\r\nversion=9.9\r\ndownload=C:\\Windows\\System32\\calc.exe\r\n"
                   "date=2015-06-01\r\n"));
    write("update_answer", "control-character",
          bytes_of("[Response]\r\nUpdate = 10\r\nversion=2.5.0\r\ndownload=HTTP://tessvane.example/\x7f\r\n"
                   "date=today\r\n"));
    Bytes wide{0xFF, 0xFE};
    wide += utf16(
        L"[response]\r\nupdate=1\r\nversion=2.5.0\r\ndownload=https://tessvane.example/\u00e4\r\n"
        L"date=2015-06-01\r\n");
    write("update_answer", "utf16", wide);
    // The second answer, fields split at NULs.
    std::wstring fields;
    for (const wchar_t* field : {L"1", L"2.5.0", L"https://update.tessvane.example//"})
        fields += field + std::wstring(1, L'\0');
    write("update_answer", "fields", utf16(fields + L"2015-06-01"));
}

void command_line_seeds() {
    const wchar_t* lines[][2] = {
        {L"quoted-and-unquoted", LR"("C:\Program Files\mendlet.exe" "C:\My Parts\a.001" C:\b.002 "C:\c.003")"},
        {L"unclosed-quote", LR"(mendlet.exe a.001 "b.002 c.003)"},
        {L"no-blank-after-quotes", LR"("mendlet.exe""a b"c)"},
        {L"blanks-and-empty-quotes", L"mendlet.exe   a.001    b.002 \t c.003   \"\" d.004 \"\""},
        {L"program-only", LR"("C:\x\mendlet.exe")"},
    };
    for (const auto& [name, line] : lines) {
        std::wstring wide_name(name);
        write("command_line", std::string(wide_name.begin(), wide_name.end()), utf16(line));
    }
}

// The digests of "a" and "b".
const std::string CRC_A = "e8b7be43";
const std::string CRC_B = "71beeff9";
const std::string MD5_A = "0cc175b9c0f1b6a831c399e269772661";
const std::string SHA1_A = "86f7e437faa5a7fce15d1ddcb9eaeaea377667b8";
const std::string SHA256_A = "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb";
const std::string SHA512_A =
    "1f40fc92da241694750979ee6cf582f2d5d7d28e18335de05abc54d0560e0f5302860c652bf08d560252aa5e74210546f369fbbbce8c12cfc7957b2"
    "652fe9a75";
const std::string BLAKE2B_A =
    "333fcb4ee1aa7c115355ec66ceac917c8bfd815bf7587d325aec1864edd24e34"
    "d5abe2c6b1b5ee3face62fed78dbef802f2a85cb91d455a8f5249d330853cb3c";
const std::string NUL(1, '\0');

// The ASCII text in UTF-16 after its byte-order mark.
std::string utf16_text(const std::string& text, bool little_endian) {
    std::string bytes = little_endian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char c : text) bytes += little_endian ? std::string{c, '\0'} : std::string{'\0', c};
    return bytes;
}

// sfv_file: the file.
void sfv_seeds() {
    write("sfv_file", "comments-and-crlf",
          bytes_of("; Generated by a tool on 2015-06-01 at 12:00:00\r\n;\r\n;movie.avi.000 " + CRC_A +
                   "\r\nmovie.avi.001 " + fuzz::ascii_upper(CRC_A) + "\r\nmovie.avi.002 " + CRC_B + "\r\n"));
    write("sfv_file", "names-with-spaces",
          bytes_of("holiday movie.avi.001 " + CRC_A + "\ntwo  spaces.002\t" + CRC_B + "  \n\t blanks around .003   " +
                   CRC_A + "\n"));
    write("sfv_file", "folders-and-utf8",
          bytes_of("\xEF\xBB\xBFsub/x.001 " + CRC_A + "\nsub\\x.002 " + CRC_A + "\nC:\\Downloads\\x.003 " + CRC_A +
                   "\n\xc3\xa4rger \xe6\x97\xa5 \xf0\x9f\x8e\xac.004 " + CRC_A + "\nlatin-1 \xe4.005 " + CRC_A + "\n"));
    write("sfv_file", "damaged",
          bytes_of("no-crc.001\n" + CRC_A + "\nseven.002 e8b7be4\nnine.003 e8b7be433\nnot-hex.004 e8b7be4g\n" +
                   "control\x01.005 " + CRC_A + "\nfolder-only/ " + CRC_A + "\nmd5.006 " + MD5_A + "\ngood.007 " +
                   CRC_A));
    write("sfv_file", "utf16-le", bytes_of(utf16_text("; x\r\nx y.001 " + CRC_A + "\r\nx.002 " + CRC_B + "\r\n", true)));
    write("sfv_file", "utf16-be", bytes_of(utf16_text("x.001 " + CRC_A + "\nx.002 " + CRC_B, false)));
    write("sfv_file", "ansi", bytes_of("\xe4rger.001 " + CRC_A + "\r\n\xc3\xa9t\xe9.002 " + CRC_B + "\r\n"));
    write("sfv_file", "bare-crc", bytes_of("; x.avi\n" + CRC_A + "\n"));
    // rhash --base64 --crc32
    write("sfv_file", "base64",
          bytes_of("; Generated by RHash v1.4.3 on 2026-12-09 at 03:48.39\n;\nv.bin.001 6Le+Qw==\nv.bin.002 " +
                   fuzz::base64_of_hex(CRC_B) + "\n"));
    write("sfv_file", "nul-ended", bytes_of("x.001 " + CRC_A + NUL + "line\nbreak.002 " + CRC_B + NUL));
}

// sums_file: the file.
void sums_seeds() {
    write("sums_file", "gnu",
          bytes_of(MD5_A + "  movie.avi\n" + fuzz::ascii_upper(SHA256_A) + " *movie.avi\n" + MD5_A +
                   " *movie.avi.001\n" + MD5_A + "  holiday movie.avi\n" + MD5_A + " **starred.avi\n"));
    write("sums_file", "bsd",
          bytes_of("MD5 (movie.avi) = " + MD5_A + "\nSHA256 (movie.avi) = " + fuzz::ascii_upper(SHA256_A) +
                   "\nmd5 (holiday (2) = best.avi) = " + MD5_A + "\nSHA256(sub/x y.avi)= " + SHA256_A + "\n"));
    write("sums_file", "damaged",
          bytes_of("86f7e437faa5a7fce15d1ddcb9eaeaea377667b8  sha1.avi\n" + CRC_A + "  crc.avi\n" + MD5_A.substr(1) +
                   "  short.avi\n" + MD5_A + " one-space.avi\n" + MD5_A + "\ttab.avi\n\\" + MD5_A +
                   "  back\\\\slash.avi\n# " + MD5_A + "  comment.avi\nMD5 (long.avi) = " + SHA256_A +
                   "\nSHA1 (sha1.avi) = 86f7e437faa5a7fce15d1ddcb9eaeaea377667b8\nMD5 () = " + MD5_A +
                   "\nMD5 (no-equals.avi) " + MD5_A + "\n" + MD5_A + "  latin-1 \xe4.avi\n"));
    write("sums_file", "sha1-sha512-and-openssl",
          bytes_of(SHA1_A + "  x.avi\n" + SHA512_A + " *x.avi\nSHA1 (x.avi) = " + SHA1_A + "\nSHA2-256(x.avi)= " +
                   SHA256_A + "\nSHA2-512(x.avi)= " + SHA512_A + "\nSHA384 (x.avi) = " + SHA256_A + "\n"));
    write("sums_file", "one-space-and-fciv",
          bytes_of("//\n// File Checksum Integrity Verifier version 2.05.\n//\n" + MD5_A + " c:\\in\\x.avi\n" + SHA1_A +
                   " x y.avi\n"));
    write("sums_file", "certutil",
          bytes_of("SHA256 hash of C:\\In\\x.avi:\r\n" + SHA256_A +
                   "\r\nCertUtil: -hashfile command completed successfully.\r\nSHA1 hash of file x.avi:\r\n86 f7 e4 37 "
                   "fa a5 a7 fc e1 5d 1d dc b9 ea ea ea 37 76 67 b8\r\n"));
    write("sums_file", "get-filehash-list",
          bytes_of(utf16_text("\r\nAlgorithm : SHA512\r\nHash      : " + fuzz::ascii_upper(SHA512_A.substr(0, 100)) +
                             "\r\n            " + fuzz::ascii_upper(SHA512_A.substr(100)) +
                             "\r\nPath      : C:\\Users\\me\\x.avi\r\n\r\n\r\n",
                         true)));
    write("sums_file", "get-filehash-table",
          bytes_of(utf16_text("\r\nAlgorithm       Hash          Path\r\n---------       ----          ----\r\nSHA256     "
                         "     " +
                             fuzz::ascii_upper(SHA256_A) + "       C:\\In\\x.avi\r\n\r\n",
                         false)));
    write("sums_file", "bare", bytes_of(fuzz::ascii_upper(SHA256_A)));
    write("sums_file", "ansi", bytes_of(MD5_A + " *\xe4rger.avi\r\nMD5 (\xc3\xa9t\xe9.avi) = " + MD5_A + "\r\n"));
    write("sums_file", "pgp-signed",
          bytes_of("-----BEGIN PGP SIGNED MESSAGE-----\nHash: SHA256\n\n" + SHA256_A +
                   "  x.avi\n-----BEGIN PGP SIGNATURE-----\n\nabc\n-----END PGP SIGNATURE-----\n"));
    // sha256sum and sha256sum --tag on names with a backslash or a line feed.
    write("sums_file", "escaped",
          bytes_of("\\" + SHA256_A + "  .\\\\v.bin.001\n\\" + SHA256_A + "  dl\\\\v.bin.001\n\\" + SHA256_A +
                   "  nl\\nname.001\n\\SHA256 (dl\\\\v.bin.001) = " + SHA256_A + "\n \\" + MD5_A + "  a\\rb\\\\c\n"));
    write("sums_file", "tab", bytes_of(SHA256_A + "\tv.bin.001\n" + MD5_A + "\t*v.bin.001\n"));
    // rhash --base64, with --bsd, and cksum --base64.
    write("sums_file", "base64",
          bytes_of(
              "ypeBEsobvcr6wjGzmiPcTaeG7/gUfE5yuYB3ha/uSLs=  v.bin.001\nCRC32 (v.bin.001) = 6Le+Qw==\nMD5   "
              "(v.bin.001) = DMF1ucDxtqgxw5niaXcmYQ==\nSHA1  (v.bin.001) = hvfkN/qlp/zhXR3cuerq6jd2Z7g=\nSHA512 "
              "(v.bin.001) = H0D8ktokFpR1CXnubPWC8tXX0o4YM13gWrxU0FYOD1MChgxlK/CNVgJSql50IQVG82n7u86MEs/HlXsmUv6adQ==\n"
              "BLAKE2b (v.bin.001) = " +
              fuzz::base64_of_hex(BLAKE2B_A) + "\n"));
    // rhash --bsd, b2sum with and without --tag and -l 256, openssl dgst -blake2b512, and BLAKE3.
    write("sums_file", "crc32-and-blake",
          bytes_of("CRC32 (v.bin.001) = " + CRC_A + "\nSHA3-256 (v.bin.001) = " + SHA256_A +
                   "\nBLAKE2b (v.bin.001) = " + BLAKE2B_A + "\n" + BLAKE2B_A +
                   "  v.bin.001\nBLAKE2b-256 (v.bin.001) = " + SHA256_A + "\nBLAKE2B-512(v.bin.001)= " + BLAKE2B_A +
                   "\nBLAKE3 (v.bin.001) = " + SHA256_A + "\n"));
    // md5sum -z, with a name holding a line feed.
    write("sums_file", "nul-ended",
          bytes_of(MD5_A + "  v.bin.001" + NUL + MD5_A + "  dl\\v.bin.001" + NUL + MD5_A + "  nl\nname.001" + NUL));
    write(
        "sums_file", "fields-outside-records",
        bytes_of("-----BEGIN PGP SIGNED MESSAGE-----\nHash: SHA256\n  " + SHA256_A +
                 "  x.avi\nAlgorithm : SHA256\nHash : " + SHA256_A + "\nPath : C:\\y.avi\n" + SHA256_A + "  z.avi\n"));
    write("sums_file", "bom-crlf-records-and-a-line-not-utf8",
          bytes_of("\xEF\xBB\xBF\r\nAlgorithm : SHA256\r\nHash      : " + SHA256_A +
                   "\r\nPath      : C:\\x.avi\r\n\r\n\xc4\r\n"));
    write("sums_file", "bom-and-line-ends",
          bytes_of("\xEF\xBB\xBF" + MD5_A + "  \xc3\xa4rger.avi\r\n\rSHA256 (\xe6\x97\xa5.avi) = " + SHA256_A + "\r" +
                   MD5_A + " *x.avi"));
}

// checksum_cut: one byte of limit, then the file.
void cut_seed(const std::string& name, std::uint8_t limit, const std::string& file) {
    Bytes bytes{limit};
    bytes += bytes_of(file);
    write("checksum_cut", name, bytes);
}

void cut_seeds() {
    const std::string sfv = "x.001 " + CRC_A + "\nx.002 " + CRC_A + "\nx.003 " + CRC_A + "\n";
    // The second line ends at byte 29.
    cut_seed("line-ends-at-limit", 29, sfv);
    cut_seed("crlf-across-limit", 30, "x.001 " + CRC_A + "\r\nx.002 " + CRC_A + "\r\nx.003 " + CRC_A);
    // The second line is cut inside its name.
    const std::string sums = MD5_A + "  part 1.avi\n" + MD5_A + "  part 2.avi\n" + MD5_A + "  part 3.avi\n";
    cut_seed("cut-in-a-name", 83, sums);
    cut_seed("no-line-end-in-time", 10, sums);
    cut_seed("whole", 255, sfv);
    cut_seed("utf16-unit-with-line-feed-byte", 6, std::string("\xFF\xFE\x41\x0A\x0A\x00\x41\x00", 8));
    cut_seed("nul-ended", 60, MD5_A + "  v.bin.001" + NUL + MD5_A + "  line\nbreak.002" + NUL + MD5_A + "  x.003" + NUL);
    cut_seed("utf16-record-cut", 60,
             utf16_text("Algorithm : MD5\r\nHash : " + MD5_A + "\r\nPath : C:\\x\\\r\n y.avi\r\n", true));
}

// recovery_set: one byte of choices (bit 0: write the packets' hashes anew), then the file.
void par2_seed(const std::string& name, std::uint8_t choices, const Bytes& file) {
    Bytes bytes{choices};
    bytes += file;
    write("recovery_set", name, bytes);
}

void par2_seeds() {
    namespace ts = test_support;
    using ts::operator+;
    const ts::HandMadeSet a(8, {{"a.001", ts::random_bytes(20, 1)}, {"sub/b.002", ts::random_bytes(9, 2)}, {"c.txt", {}}},
                            2);
    const ts::HandMadeSet b(16, {{"CD1\\other.bin", ts::random_bytes(40, 3)}, {"\xc3\xa4\xe4.bin", {7}}}, 1);
    const auto with_length = [](const Bytes& packet, std::uint64_t length) { return ts::with_u64_at(packet, 8, length); };
    par2_seed("index", 0, a.index());
    par2_seed("volume", 2, a.recovery(0) + a.recovery(1) + a.index() + a.recovery(2));
    par2_seed("two-sets", 4, b.index() + a.recovery(3) + a.index() + b.recovery(0));
    par2_seed("another-sets-packets-without-its-main", 0, b.description(0) + b.checksums(0) + a.index());
    par2_seed("damaged-between", 6,
          a.main() + ts::flipped(a.description(0), 100) + ts::flipped(a.checksums(1), 3) + a.description(1) +
              a.checksums(0) + Bytes{'P', 'A', 'R', '2', 0, 'P'} + a.description(2) + a.creator());
    par2_seed("lying-lengths", 8,
          with_length(a.recovery(0), 12) + with_length(a.main(), 1ull << 63) + a.main() +
              with_length(a.description(0), 68) + with_length(a.recovery(1), 200) + a.description(0) +
              a.checksums(0));
    par2_seed("truncated", 0, ts::cut(a.index(), a.index().size() - 30));
    const Bytes huge_body = ts::with_u64_at(a.description_body(0), 48, 1ull << 62);
    Bytes huge_main = a.main_body();
    huge_main[11] = 0x7F;
    par2_seed("huge-slice-counts", 1,
          ts::par2_packet(a.id(), ts::MAIN_TYPE, huge_main) + a.main() +
              ts::par2_packet(a.id(), ts::DESCRIPTION_TYPE, huge_body) + a.checksums(0));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: fuzz_make_corpus CORPUS_DIR LANG_DIR\n";
        return 2;
    }
    corpus = argv[1];
    settings_seeds();
    strings_seeds();
    list_seeds();
    language_seeds(argv[2]);
    format_seeds();
    update_seeds();
    command_line_seeds();
    sfv_seeds();
    sums_seeds();
    cut_seeds();
    par2_seeds();
    return 0;
}
