#include "checksum/checksum_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mendlet {
namespace {

using Names = std::vector<std::wstring>;

// The names for one stem with each extension, then for a second, then both again with .txt.
Names named_after(const std::vector<std::wstring>& stems) {
    Names names;
    for (const std::wstring text : {L"", L".txt"})
        for (const std::wstring& stem : stems)
            for (const wchar_t* extension :
                 {L".sfv", L".md5", L".sha1", L".sha256", L".sha512", L".b2", L".b3", L".blake2b", L".blake3",
                  L".md5sum", L".sha1sum", L".sha256sum", L".sha512sum", L".b2sum", L".b3sum"})
                names.push_back(stem + extension + text);
    return names;
}

TEST(ChecksumFileNames, TheOutputsNameWithAndWithoutItsExtensionNeverTheOutputItself) {
    EXPECT_EQ(checksum_file_names(L"C:\\Downloads\\movie.avi"), named_after({L"movie.avi", L"movie"}));
    EXPECT_EQ(checksum_file_names(L"holiday movie.tar.gz"), named_after({L"holiday movie.tar.gz", L"holiday movie.tar"}));
    EXPECT_EQ(checksum_file_names(L"C:\\in.dir\\movie"), named_after({L"movie"}));
    EXPECT_EQ(checksum_file_names(L".movie"), named_after({L".movie"}));
    Names x_md5 = named_after({L"X.Md5", L"X"});
    std::erase(x_md5, L"X.md5");
    EXPECT_EQ(checksum_file_names(L"X.Md5"), x_md5);

    for (const std::wstring& name : checksum_file_names(L"C:\\In\\movie.avi"))
        EXPECT_TRUE(is_checksum_file_name(name)) << name;
    for (const wchar_t* name : {L"X.SFV", L"C:\\In\\x.sha512sum", L"md5sums", L"Sha256Sums.TXT", L"CHECKSUMS",
                                L"checksums.txt", L"SHA1SUMS", L".md5", L"x.sfv.txt", L"B2SUMS", L"b3sums.txt"})
        EXPECT_TRUE(is_checksum_file_name(name)) << name;
    for (const wchar_t* name :
         {L"x.001", L"x.md5.001", L"x.sha", L"x.sfv2", L"x.txt", L".txt", L"my-MD5SUMS", L"checksum.txt",
          L"C:\\MD5SUMS\\x.001", L"md5", L"", L"x.b2s", L"x.blake2s", L"B2SUM", L"SHA384SUMS"})
        EXPECT_FALSE(is_checksum_file_name(name)) << name;
}

TEST(ChecksumFileNames, ANameDeclaresTheKindOfItsUntaggedLinesOrNone) {
    const std::vector<std::pair<std::optional<DigestKind>, Names>> rows{
        {DigestKind::crc32, {L"x.avi.SFV.txt"}},
        {DigestKind::md5, {L"C:\\In\\x.md5", L"MD5SUMS"}},
        {DigestKind::sha1, {L"x.sha1sum.txt"}},
        {DigestKind::sha256, {L"Sha256Sums.TXT"}},
        {DigestKind::sha512, {L"x.sha512sum"}},
        {DigestKind::blake2b, {L"x.avi.b2", L"x.b2sum", L"x.BLAKE2b", L"B2SUMS", L"b2sums.txt"}},
        {DigestKind::blake3, {L"x.b3.txt", L"x.b3sum", L"x.blake3", L"B3SUMS", L"b3sums.txt"}},
        {std::nullopt, {L"CHECKSUMS", L"checksums.txt", L"x.sha384", L"x.sha256.001", L"C:\\B2SUMS\\x.txt"}},
    };
    for (const auto& [kind, names] : rows)
        for (const std::wstring& name : names) EXPECT_EQ(declared_kind(name), kind) << name;
}

TEST(ChecksumFilesToRead, NamedAfterEachOutputThenGeneralNamesThenOtherSfvFiles) {
    struct Row {
        const char* what;
        Names folder;
        Names outputs;
        std::vector<ChecksumFileToRead> read;
    };
    const std::vector<Row> rows{
        {"in any case, in order, once each",
         {L"other.sfv", L"md5sums", L"MOVIE.AVI.SFV", L"movie.sha256.txt", L"Movie.sha256", L"movie.avi.001",
          L"checksums.txt", L"SHA512SUMS.txt", L"movie.avi.crc", L"notes.txt", L"b2sums.txt", L"B3SUMS",
          L"movie.avi.b3"},
         {L"movie.avi"},
         {{L"MOVIE.AVI.SFV", L"movie.avi"},
          {L"movie.avi.b3", L"movie.avi"},
          {L"Movie.sha256", L"movie.avi"},
          {L"movie.sha256.txt", L"movie.avi"},
          {L"md5sums", L""},
          {L"B3SUMS", L""},
          {L"SHA512SUMS.txt", L""},
          {L"b2sums.txt", L""},
          {L"checksums.txt", L""},
          {L"other.sfv", L""}}},
        {"the set's name first, then the one the user gave",
         {L"b.mkv.md5", L"a.mkv.sfv", L"a.sfv"},
         {L"a.mkv", L"C:\\Out\\b.mkv"},
         {{L"a.mkv.sfv", L"a.mkv"}, {L"a.sfv", L"a.mkv"}, {L"b.mkv.md5", L"b.mkv"}}},
        {"nothing of another output", {L"film.avi.md5", L"film.md5"}, {L"movie.avi"}, {}},
    };
    for (const Row& row : rows) EXPECT_EQ(checksum_files_to_read(row.folder, row.outputs), row.read) << row.what;

    Names many;
    for (int i = 0; i < 100; ++i) many.push_back(L"part " + std::to_wstring(i) + L".sfv");
    many.push_back(L"movie.avi.md5");
    const std::vector<ChecksumFileToRead> read = checksum_files_to_read(many, {L"movie.avi"});
    ASSERT_EQ(read.size(), CHECKSUM_FILES_READ);
    EXPECT_EQ(read.front().name, L"movie.avi.md5");
    EXPECT_EQ(read.back().name, L"part 62.sfv");
}

}  // namespace
}  // namespace mendlet
