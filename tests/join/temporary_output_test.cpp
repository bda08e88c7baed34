#include "join/temporary_output.h"

#include <gtest/gtest.h>

namespace mendlet {
namespace {

// Beside the output, so that taking its name is a rename; a name that would outgrow what
// file systems take is cut before the suffix, never in the folder.
TEST(TemporaryOutput, BesideTheOutputWithANameFileSystemsTake) {
    EXPECT_EQ(temporary_output_path(L"\\\\server\\share\\x.bin"), L"\\\\server\\share\\x.bin.mendlet-unfinished");
    EXPECT_EQ(temporary_output_path(L"x.bin"), L"x.bin.mendlet-unfinished");

    const std::wstring name(250, L'n');
    const std::wstring temporary = temporary_output_path(L"C:\\Out\\" + name);
    EXPECT_EQ(temporary, L"C:\\Out\\" + name.substr(0, 255 - 19) + L".mendlet-unfinished");
    const std::wstring fits(236, L'a');
    EXPECT_EQ(temporary_output_path(L"C:\\" + fits), L"C:\\" + fits + L".mendlet-unfinished");

    // A cut never leaves half a character: U+1F3AC takes two UTF-16 units.
    const std::wstring clapper{static_cast<wchar_t>(0xD83C), static_cast<wchar_t>(0xDFAC)};
    const std::wstring split = std::wstring(235, L'a') + clapper + L"z";
    EXPECT_EQ(temporary_output_path(L"C:\\" + split), L"C:\\" + std::wstring(235, L'a') + L".mendlet-unfinished");
}

// Where a folder refuses the long name for its length (Linux counts bytes), a short one in
// the same folder, the same for the same output and another for another.
TEST(TemporaryOutput, AShortNameInTheSameFolderComesSecond) {
    const std::wstring output = L"D:\\Films\\" + std::wstring(118, L'\u0436') + L".avi";
    const std::vector<std::wstring> paths = temporary_output_paths(output);
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0], output + L".mendlet-unfinished");
    EXPECT_EQ(paths[1], L"D:\\Films\\" + paths[1].substr(9, 16) + L".mendlet-unfinished");
    EXPECT_NE(temporary_output_paths(output + L"x")[1], paths[1]);
}

}  // namespace
}  // namespace mendlet
