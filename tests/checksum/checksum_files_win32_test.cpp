#include "checksum/checksum_files_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "checksum/checksum_text.h"
#include "support/checksum_values.h"
#include "support/temp_folder_win32.h"

namespace mendlet {
namespace {

using namespace test_support;

std::vector<std::wstring> names_of(const std::vector<ChecksumFile>& files) {
    std::vector<std::wstring> names;
    for (const ChecksumFile& file : files) names.push_back(file.name);
    return names;
}

const std::function<bool()> NEVER_STOPPED = [] { return false; };

std::vector<ChecksumFile> find(const std::wstring& folder) {
    return find_checksum_files(folder, {L"movie.avi"}, {L"C:\\In\\movie.avi.001"}, NEVER_STOPPED);
}

TEST(FindChecksumFiles, TheFolderListedWithoutItsFoldersAndFilesThatYieldNothing) {
    const TempFolder folder;
    folder.write(L"md5sums", MD5_A + " *movie.avi\n");
    folder.write(L"MOVIE.AVI.SFV", "; parts\r\nmovie.avi.001 " + CRC_A + "\r\n");
    folder.write(L"movie.avi.001", "movie.avi.001 " + CRC_A + "\n");
    // A part's sidecar: its bare digest is the part's.
    folder.write(L"Movie.avi.001.sha256", SHA256_A + "\n");
    // Named after the output but of no use: kept, for the join to say so. A general name
    // without an entry and a folder are passed over.
    folder.write(L"movie.md5", "");
    folder.write(L"SHA256SUMS", "no checksums here\n");
    ASSERT_TRUE(CreateDirectoryW(folder.file(L"movie.avi.sha1").c_str(), nullptr));

    const std::vector<ChecksumFile> files = find(folder.path());
    ASSERT_EQ(names_of(files),
              (std::vector<std::wstring>{L"MOVIE.AVI.SFV", L"movie.md5", L"md5sums", L"Movie.avi.001.sha256"}));
    EXPECT_EQ(files[0].entries, (std::vector<ChecksumEntry>{{L"movie.avi.001", DigestKind::crc32, CRC_A}}));
    EXPECT_EQ(files[0].folder, folder.path());
    EXPECT_TRUE(files[1].entries.empty());
    EXPECT_EQ(first_unreadable(files), &files[1]);
    EXPECT_EQ(files[2].entries, (std::vector<ChecksumEntry>{{L"movie.avi", DigestKind::md5, MD5_A}}));
    EXPECT_TRUE(files[3].sidecar);
    EXPECT_EQ(files[3].entries, (std::vector<ChecksumEntry>{{L"movie.avi.001", DigestKind::sha256, SHA256_A}}));
    // A folder as the system gives a drive's root, with its backslash.
    EXPECT_EQ(names_of(find(folder.path() + L"\\")), names_of(files));
    // A stopped job reads nothing more.
    EXPECT_TRUE(find_checksum_files(folder.path(), {L"movie.avi"}, {}, [] { return true; }).empty());
}

TEST(FindChecksumFiles, AFileOverTheLimitIsReadToItsLastWholeLine) {
    // The limit falls inside the name of a line, which read up to there would name another file.
    const std::string crossing = MD5_A + "  crossing.avi\n";
    const std::size_t crossing_start = CHECKSUM_FILE_LIMIT - (MD5_A.size() + 2 + 4);
    std::string file;
    std::vector<ChecksumEntry> expected;
    for (;;) {
        const std::wstring name = L"part " + std::to_wstring(expected.size()) + L".avi";
        const std::string line = MD5_A + "  " + std::string(name.begin(), name.end()) + "\n";
        if (file.size() + line.size() + 1 > crossing_start) break;
        file += line;
        expected.push_back({name, DigestKind::md5, MD5_A});
    }
    file += std::string(crossing_start - file.size() - 1, ' ') + "\n" + crossing + MD5_A + "  after.avi\n";
    ASSERT_EQ(file.find(crossing), crossing_start);

    const TempFolder folder;
    folder.write(L"MD5SUMS", file);
    const std::vector<ChecksumFile> files = find(folder.path());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].entries, expected);
}

TEST(FindChecksumFiles, AFileThatCannotBeReadYieldsNothing) {
    const TempFolder folder;
    const std::wstring held = folder.write(L"movie.avi.sfv", "movie.avi.001 " + CRC_A + "\n");
    // Another program holds it open and shares nothing.
    const HANDLE holder =
        CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const std::vector<ChecksumFile> files = find(folder.path());
    CloseHandle(holder);
    ASSERT_EQ(names_of(files), std::vector<std::wstring>{L"movie.avi.sfv"});
    EXPECT_TRUE(files[0].entries.empty());
    EXPECT_EQ(find(folder.path())[0].entries.size(), 1u);
}

// The folders and the file that the shell's removal of a temporary folder leaves behind
// when they lie deeper than MAX_PATH.
struct DeepFile {
    std::vector<std::wstring> folders;
    std::wstring path;
    ~DeepFile() {
        DeleteFileW(path.c_str());
        for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) RemoveDirectoryW(folder->c_str());
    }
};

TEST(FindChecksumFiles, InAFolderDeeperThanMaxPath) {
    const TempFolder folder;
    DeepFile deep;
    std::wstring path = folder.path();
    for (const wchar_t letter : {L'a', L'b', L'c'}) {
        path += L'\\' + std::wstring(100, letter);
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        deep.folders.push_back(path);
    }
    deep.path = path + L"\\movie.avi.sfv";
    ASSERT_GT(deep.path.size(), static_cast<std::size_t>(MAX_PATH));
    folder.write(deep.path.substr(folder.path().size() + 1), "movie.avi.001 " + CRC_A + "\n");

    EXPECT_EQ(names_of(find(path)), std::vector<std::wstring>{L"movie.avi.sfv"});
}

}  // namespace
}  // namespace mendlet
