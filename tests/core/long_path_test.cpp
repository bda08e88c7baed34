#include "core/long_path.h"

#include <gtest/gtest.h>

namespace mendlet {
namespace {

TEST(LongPathForm, FullPathsFromADriveOrAShare) {
    EXPECT_TRUE(is_full_path(L"C:\\a"));
    EXPECT_TRUE(is_full_path(L"c:/a"));
    EXPECT_TRUE(is_full_path(L"\\\\server\\share\\a"));
    EXPECT_TRUE(is_full_path(L"//server/share"));
    EXPECT_TRUE(is_full_path(L"\\\\?\\C:\\a"));
    EXPECT_TRUE(is_full_path(L"\\\\.\\pipe\\x"));
    // Against the current folder or the current folder's drive.
    EXPECT_FALSE(is_full_path(L"C:a"));
    EXPECT_FALSE(is_full_path(L"C:"));
    EXPECT_FALSE(is_full_path(L"\\a"));
    EXPECT_FALSE(is_full_path(L"a\\b"));
    EXPECT_FALSE(is_full_path(L"..\\a"));
    EXPECT_FALSE(is_full_path(L""));

    EXPECT_EQ(long_path_form(L"C:\\In\\movie.avi.001"), L"\\\\?\\C:\\In\\movie.avi.001");
    EXPECT_EQ(long_path_form(L"C:\\"), L"\\\\?\\C:\\");
    EXPECT_EQ(long_path_form(L"C:\\In\\"), L"\\\\?\\C:\\In\\");
    EXPECT_EQ(long_path_form(L"\\\\server\\share\\In\\a.001"), L"\\\\?\\UNC\\server\\share\\In\\a.001");
    EXPECT_EQ(long_path_form(L"\\\\server\\share"), L"\\\\?\\UNC\\server\\share");
    // A folder's search pattern keeps its wildcards.
    EXPECT_EQ(long_path_form(L"C:\\In\\x.???"), L"\\\\?\\C:\\In\\x.???");
}

TEST(LongPathForm, DevicePathsAndPathsThatAreNotFullStayAsTheyAre) {
    for (const wchar_t* path : {L"\\\\?\\C:\\In\\..\\a", L"\\\\?\\UNC\\server\\share\\a", L"\\\\.\\C:\\a",
                                L"\\\\?\\Volume{0}\\a", L"a\\..\\b", L"C:a", L"\\a"})
        EXPECT_EQ(long_path_form(path), path);
}

// What the system resolves in other paths, since it resolves nothing in this form.
TEST(LongPathForm, SeparatorsDotsAndDotDotsResolvedAsTheSystemDoes) {
    EXPECT_EQ(long_path_form(L"C:/In/sub//a.001"), L"\\\\?\\C:\\In\\sub\\a.001");
    EXPECT_EQ(long_path_form(L"//server/share//In/a"), L"\\\\?\\UNC\\server\\share\\In\\a");
    EXPECT_EQ(long_path_form(L"C:\\In\\.\\sub\\..\\a.001"), L"\\\\?\\C:\\In\\a.001");
    EXPECT_EQ(long_path_form(L"C:\\In\\sub\\.."), L"\\\\?\\C:\\In");
    EXPECT_EQ(long_path_form(L"C:\\In\\sub\\..\\"), L"\\\\?\\C:\\In\\");
    EXPECT_EQ(long_path_form(L"C:\\In\\."), L"\\\\?\\C:\\In");
    // ".." goes no higher than the drive or the share.
    EXPECT_EQ(long_path_form(L"C:\\In\\..\\..\\..\\a"), L"\\\\?\\C:\\a");
    EXPECT_EQ(long_path_form(L"C:\\.."), L"\\\\?\\C:\\");
    EXPECT_EQ(long_path_form(L"\\\\server\\share\\In\\..\\..\\a"), L"\\\\?\\UNC\\server\\share\\a");
    // A name of three dots is a name.
    EXPECT_EQ(long_path_form(L"C:\\...\\a"), L"\\\\?\\C:\\...\\a");
    // A folder's name loses one dot at its end; the last name every dot and space there,
    // unless a separator follows it.
    EXPECT_EQ(long_path_form(L"C:\\In.\\a"), L"\\\\?\\C:\\In\\a");
    EXPECT_EQ(long_path_form(L"C:\\In\\a.001. . "), L"\\\\?\\C:\\In\\a.001");
    EXPECT_EQ(long_path_form(L"C:\\In\\a \\"), L"\\\\?\\C:\\In\\a \\");
    EXPECT_EQ(long_path_form(L"C:\\In\\ ."), L"\\\\?\\C:\\In\\");
}

}  // namespace
}  // namespace mendlet
