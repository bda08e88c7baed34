#include "gather/folder_parts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mendlet {
namespace {

using Indexes = std::vector<std::size_t>;

TEST(FolderParts, NumberedNamesEndInADotAndDigitsOfAnyCount) {
    for (const wchar_t* name : {L"v.bin.001", L"v.bin.1", L"v.bin.0001", L"C:\\In\\x.7z.1000"})
        EXPECT_TRUE(is_numbered_part_name(name)) << name;
    for (const wchar_t* name : {L"v.bin", L"v.bin.", L"name001", L"v.bin.0a1", L"C:\\In.001\\v.nfo"})
        EXPECT_FALSE(is_numbered_part_name(name)) << name;
    for (const wchar_t* name : {L"v.bin.vol000+01.par2", L"C:\\In\\v.Par2"}) EXPECT_TRUE(is_recovery_file_name(name));
    EXPECT_FALSE(is_recovery_file_name(L"v.par2.001"));
}

// Checksum and recovery files are neither taken nor counted, in either kind of tree.
TEST(FolderParts, ATreeWithNumberedFilesGivesThemAloneAndOneWithoutGivesEveryFile) {
    FolderChoice choice = choose_folder_files({L"D\\v.nfo", L"D\\v.bin.002", L"D\\sub\\v.bin.001", L"D\\v.url",
                                               L"D\\v.bin.par2", L"D\\v.vol0+1.PAR2", L"D\\v.sfv"});
    EXPECT_EQ(choice.taken, (Indexes{1, 2}));
    EXPECT_EQ(choice.left_out, 2u);
    choice = choose_folder_files({L"D\\a.bin", L"D\\MD5SUMS", L"D\\b.par2", L"D\\c.txt"});
    EXPECT_EQ(choice.taken, (Indexes{0, 3}));
    EXPECT_EQ(choice.left_out, 0u);
}

}  // namespace
}  // namespace mendlet
