#include "core/output_path.h"

#include <gtest/gtest.h>

#include <string>

#include "core/part_list.h"
#include "settings/settings.h"

namespace mendlet {
namespace {

constexpr const wchar_t* SUFFIX = L"-output";

TEST(DeriveOutputName, CutsTheLastExtensionOfTheFileName) {
    EXPECT_EQ(derive_output_name(L"C:\\In\\movie.avi.001", SUFFIX), L"C:\\In\\movie.avi");
    EXPECT_EQ(derive_output_name(L"C:\\In\\data", SUFFIX), L"C:\\In\\data-output");
    EXPECT_EQ(derive_output_name(L"C:\\In.d\\data001", SUFFIX), L"C:\\In.d\\data001-output");
    EXPECT_EQ(derive_output_name(L"C:\\In\\data", L"-ausgabe"), L"C:\\In\\data-ausgabe");
    // The first character is never taken as a dot.
    EXPECT_EQ(derive_output_name(L".001", SUFFIX), L".001-output");
    EXPECT_EQ(derive_output_name(L"a.001", SUFFIX), L"a");
}

TEST(DeriveOutputName, InACustomFolder) {
    EXPECT_EQ(derive_output_name_in_folder(L"C:\\In\\name.ext.001", L"D:\\Out", SUFFIX), L"D:\\Out\\name.ext");
    EXPECT_EQ(derive_output_name_in_folder(L"C:\\In\\name.ext.001", L"D:\\Out\\", SUFFIX), L"D:\\Out\\name.ext");
    EXPECT_EQ(derive_output_name_in_folder(L"C:\\In.d\\name", L"D:\\Out", SUFFIX), L"D:\\Out\\name-output");
    EXPECT_FALSE(derive_output_name_in_folder(L"name.ext.001", L"D:\\Out", SUFFIX).has_value());
}

TEST(OutputBaseName, FileNameUpToItsLastDot) {
    EXPECT_EQ(output_base_name(L"C:\\In\\movie.avi.001"), L"movie.avi");
    EXPECT_EQ(output_base_name(L"movie.avi.001"), L"movie.avi");
    EXPECT_FALSE(output_base_name(L"C:\\In.d\\movie").has_value());
    const std::wstring long_name(511, L'n');
    EXPECT_EQ(output_base_name(L"C:\\In\\" + long_name + L".001"), long_name);
    EXPECT_FALSE(output_base_name(L"C:\\In\\" + long_name + L"n.001").has_value());
}

class NextOutputPath : public ::testing::Test {
protected:
    OutputPathUpdate update(const OutputBox& box, bool append) {
        OutputPathUpdate result = next_output_path(list, box, append, remembered, settings, SUFFIX);
        remembered = result.remembered_output_path;
        return result;
    }

    PartList list;
    Settings settings;
    std::optional<std::wstring> remembered;
};

TEST_F(NextOutputPath, EmptyListEmptiesTheBoxAndKeepsTheRememberedText) {
    remembered = L"D:\\mine.bin";
    EXPECT_EQ(update({L"D:\\typed", true}, false).box_text, L"");
    EXPECT_EQ(remembered, L"D:\\mine.bin");
}

TEST_F(NextOutputPath, FollowsTheFirstPartAndTheCustomFolder) {
    list.add_part(NO_POSITION, false, L"C:\\In\\movie.avi.001", 0, 0, false);
    EXPECT_EQ(update({L"", false}, false).box_text, L"C:\\In\\movie.avi");
    settings.use_custom_output_path = true;
    settings.custom_output_path = L"D:\\Out\\";
    EXPECT_EQ(update({L"C:\\In\\movie.avi", false}, false).box_text, L"D:\\Out\\movie.avi");
    // A text the user typed is replaced when nothing is remembered.
    EXPECT_EQ(update({L"E:\\typed.bin", true}, false).box_text, L"D:\\Out\\movie.avi");
    list.clear_parts();
    list.add_part(NO_POSITION, false, L"movie.avi.001", 0, 0, false);
    EXPECT_EQ(update({L"", false}, false).box_text, L"");
}

TEST_F(NextOutputPath, AppendModeKeepsTheUsersTextAside) {
    list.add_part(NO_POSITION, false, L"C:\\In\\movie.avi.001", 0, 0, false);
    // Typed before ticking append: kept and shown again when append is cleared.
    EXPECT_EQ(update({L"E:\\typed.bin", true}, true).box_text, L"C:\\In\\movie.avi.001");
    EXPECT_EQ(remembered, L"E:\\typed.bin");
    EXPECT_EQ(update({L"C:\\In\\movie.avi.001", false}, false).box_text, L"E:\\typed.bin");
    // Emptied by the user: forgotten, so the derived name comes back.
    EXPECT_EQ(update({L"", true}, true).box_text, L"C:\\In\\movie.avi.001");
    EXPECT_FALSE(remembered.has_value());
    EXPECT_EQ(update({L"C:\\In\\movie.avi.001", false}, false).box_text, L"C:\\In\\movie.avi");
}

TEST_F(NextOutputPath, AppendWithoutEditsShowsTheFirstPartAndDerivesAfterwards) {
    list.add_part(NO_POSITION, false, L"C:\\In\\movie.avi.001", 0, 0, false);
    EXPECT_EQ(update({L"C:\\In\\movie.avi", false}, true).box_text, L"C:\\In\\movie.avi.001");
    EXPECT_FALSE(remembered.has_value());
    EXPECT_EQ(update({L"C:\\In\\movie.avi.001", false}, false).box_text, L"C:\\In\\movie.avi");
}

}  // namespace
}  // namespace mendlet
