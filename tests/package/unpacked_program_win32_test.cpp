// The program as the release zip delivers it, in the folder that release_package_test.sh
// unpacked and names in MENDLET_UNPACKED_FOLDER: started there, it shows its window, and
// closed, it writes its two settings files beside itself and exits with 0.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "settings/settings_file.h"
#include "support/program_win32.h"
#include "support/temp_folder_win32.h"

namespace mendlet {
namespace {

using test_support::read_file;
using test_support::RunningProgram;

std::span<const std::uint8_t> bytes_of(const std::string& file) {
    return {reinterpret_cast<const std::uint8_t*>(file.data()), file.size()};
}

TEST(UnpackedProgram, ShowsItsWindowAndWritesItsSettingsBesideItselfWhenClosed) {
    const wchar_t* folder = _wgetenv(L"MENDLET_UNPACKED_FOLDER");
    ASSERT_NE(folder, nullptr) << "MENDLET_UNPACKED_FOLDER names no folder";
    const std::wstring home = folder;
    const std::wstring settings_file = home + L"\\mendlet";
    const std::wstring strings_file = home + L"\\strings";
    ASSERT_FALSE(read_file(settings_file).has_value()) << "the zip holds settings of its own";
    ASSERT_FALSE(read_file(strings_file).has_value()) << "the zip holds settings of its own";

    RunningProgram program(RunningProgram::InPlace{home + L"\\mendlet.exe"});
    ASSERT_NE(program.window(), nullptr);
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(program.exit_code_within(20000), 0u);

    const auto record = read_file(settings_file);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->size(), 39u);
    const auto decoded = decode_settings_file(bytes_of(*record));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->revision, SETTINGS_FILE_REVISION);
    // Started without settings, it keeps the defaults, and no output folder of its own.
    const auto strings = read_file(strings_file);
    ASSERT_TRUE(strings.has_value());
    const std::vector<std::uint8_t> no_folder = encode_strings_file(Settings{});
    EXPECT_EQ(std::vector<std::uint8_t>(bytes_of(*strings).begin(), bytes_of(*strings).end()), no_folder);
}

}  // namespace
}  // namespace mendlet
