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
}

}  // namespace
}  // namespace mendlet
