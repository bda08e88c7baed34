// A set with a missing part, a part of the wrong size and a larger last part: the list
// warns, the join asks first, and No leaves everything as it was.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "res/resource.h"
#include "scenarios/scenario_win32.h"
#include "settings/settings_file.h"
#include "support/remote_window_win32.h"
#include "support/screenshot_win32.h"
#include "support/temp_folder_win32.h"

namespace mendlet {
namespace {

using namespace test_support;

constexpr wchar_t MISSING_CAPTION[] = L"Test Missing Parts";
constexpr wchar_t SIZE_CAPTION[] = L"Test Parts Size";
constexpr wchar_t GO_ON[] = L"\n\nAre you sure that you wish to continue join operation?";

class WarningsScenario : public ::testing::Test {
protected:
    WarningsScenario() {
        Settings settings;
        settings.test_missing_before_join = true;
        settings.test_size_before_join = true;
        const auto record = encode_settings_file(settings, WindowState{});
        home.write(L"mendlet", std::string(record.begin(), record.end()));
        // 003 is missing, 002 is short, and the last is larger than the first. The names are
        // too long for the Path column, as the picture shows.
        const std::pair<const wchar_t*, std::size_t> parts[] = {
            {L".001", 65536}, {L".002", 50000}, {L".004", 65536}, {L".005", 70000}};
        std::wstring arguments;
        for (const auto& [number, size] : parts)
            arguments += quoted(folder.write(std::wstring(OUTPUT) + number, random_text(size, size))) + L" ";
        program.emplace(home, arguments);
        window = program->window();
    }

    // Presses Join and answers each question in turn until one is a No.
    void join_answering(std::initializer_list<std::pair<const wchar_t*, int>> questions) {
        click(window, IDC_JOIN);
        for (const auto& [caption, button] : questions) {
            const HWND box = wait_for_owned(window, caption);
            ASSERT_NE(box, nullptr) << "no question " << testing::PrintToString(std::wstring(caption));
            if (texts.empty()) save_screenshot(window, L"8-question-before-joining");
            texts.push_back(message_box_text(box));
            ASSERT_TRUE(answer(box, button));
        }
        ASSERT_TRUE(text_becomes(window, IDC_STATUS, L"Ready"));
        // The status line may say so a moment before the window hears that the job ended.
        EXPECT_TRUE(text_becomes(window, IDC_JOIN, L"&Join"));
    }

    void expect_nothing_written() {
        EXPECT_EQ(GetFileAttributesW(folder.file(OUTPUT).c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(row_count(window), 4);
    }

    static constexpr wchar_t OUTPUT[] = L"The Philharmonic live at the Royal Hall, full concert (2026) 1080p.mkv";
    TempFolder home;
    TempFolder folder{ExactPath{L"C:\\Users\\Anna\\Downloads\\Concerts"}};
    std::optional<RunningProgram> program;
    HWND window = nullptr;
    std::vector<std::wstring> texts;
};

TEST_F(WarningsScenario, TheListWarnsAndEveryNoStopsTheJoinBeforeAnythingIsWritten) {
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(rows_become(window, 4));
    const HWND rows = GetDlgItem(window, IDC_PART_LIST);
    // The column shows the category; the row's tip tells which warning.
    EXPECT_TRUE(becomes_true([&] { return list_cell(rows, 3, 2) == L"warning"; }, SCENARIO_WAIT_MS));
    EXPECT_EQ(list_cell(rows, 0, 2), L"ok");
    EXPECT_EQ(list_cell(rows, 1, 2), L"warning");
    EXPECT_EQ(list_cell(rows, 2, 2), L"warning");
    save_screenshot(window, L"7-warnings");

    join_answering({{MISSING_CAPTION, IDNO}});
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], std::wstring(L"You seem to be missing 1 part(s) with ordinal(s): 3.") + GO_ON);
    expect_nothing_written();

    join_answering({{MISSING_CAPTION, IDYES}, {SIZE_CAPTION, IDNO}});
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2], std::wstring(L"It seems that 1 part(s) have different file size than first part, this could mean "
                                     L"that those parts are corrupted or do not belong in the same group. Ordinal(s) of "
                                     L"part(s) with different size: 2.") +
                            GO_ON);
    expect_nothing_written();

    join_answering({{MISSING_CAPTION, IDYES}, {SIZE_CAPTION, IDYES}, {SIZE_CAPTION, IDNO}});
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[5], std::wstring(L"It seems that last part doesn't have smaller file size which could be a sign that you "
                                     L"are missing last part, however this is not necessarily true.") +
                            GO_ON);
    expect_nothing_written();
}

}  // namespace
}  // namespace mendlet
