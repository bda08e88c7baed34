#include "core/long_path_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/temp_folder_win32.h"

namespace mendlet {
namespace {

// A relative path counts by the length it has once the current folder is before it.
TEST(FileSystemPath, LongFormFromMaxPathOnRelativePathsMadeFullFirst) {
    test_support::TempFolder folder;
    const std::wstring current = folder.file(std::wstring(MAX_PATH - 40 - folder.path().size(), L'c'));
    ASSERT_TRUE(CreateDirectoryW(current.c_str(), nullptr));
    const DWORD previous_length = GetCurrentDirectoryW(0, nullptr);
    std::wstring previous(previous_length, L'\0');
    GetCurrentDirectoryW(previous_length, previous.data());
    ASSERT_TRUE(SetCurrentDirectoryW(current.c_str()));
    const std::wstring name = std::wstring(40, L'n') + L".001";
    const std::wstring relative = file_system_path(L"gone\\..\\" + name);
    const std::wstring short_relative = file_system_path(L"gone\\..\\n.001");
    SetCurrentDirectoryW(previous.c_str());

    EXPECT_EQ(relative, L"\\\\?\\" + current + L"\\" + name);
    EXPECT_EQ(short_relative, L"gone\\..\\n.001");
    const std::wstring full = current + L"\\" + name;
    EXPECT_EQ(file_system_path(full.substr(0, MAX_PATH - 1)), full.substr(0, MAX_PATH - 1));
    EXPECT_EQ(file_system_path(full.substr(0, MAX_PATH)), L"\\\\?\\" + full.substr(0, MAX_PATH));
}

}  // namespace
}  // namespace mendlet
