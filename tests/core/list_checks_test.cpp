#include "core/list_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/part_list.h"
#include "lang/text_table.h"
#include "settings/settings.h"

namespace mendlet {
namespace {

constexpr const wchar_t* QUESTION_END = L"\n\nAre you sure that you wish to continue join operation?";

class RecordingQuestioner : public Questioner {
public:
    bool ask_yes_no(const Question& question) override {
        asked.push_back(question);
        return answer_yes;
    }
    std::vector<Question> asked;
    bool answer_yes = true;
};

// Parts named x.NNN with the given ordinals and sizes.
PartList parts(std::initializer_list<std::pair<unsigned, std::uint64_t>> numbered) {
    PartList list;
    for (const auto& [ordinal, size] : numbered) {
        std::wstring number = std::to_wstring(ordinal);
        if (number.size() < 3) number.insert(0, 3 - number.size(), L'0');
        list.add_part(NO_POSITION, false, L"C:\\In\\x." + number, size, STATUS_OK, false);
    }
    return list;
}

std::vector<std::int32_t> statuses(const PartList& list) {
    std::vector<std::int32_t> result;
    for (const PartEntry& entry : list) result.push_back(entry.status);
    return result;
}

class ListChecks : public ::testing::Test {
protected:
    bool check(const PartList& list, bool missing = true, bool size = true, std::uint32_t highest_found = 0,
               const std::vector<std::uint32_t>& rebuilt = {}) {
        return check_before_join(list, missing, size, texts, questioner, highest_found, rebuilt);
    }
    TextTable texts;
    Settings settings;
    RecordingQuestioner questioner;
};

TEST_F(ListChecks, AMissingPart) {
    PartList list = parts({{1, 10}, {2, 10}, {4, 5}});
    evaluate_statuses(list, false, settings);
    EXPECT_EQ(statuses(list), (std::vector<std::int32_t>{0, 0, STATUS_UNEXPECTED_ORDINAL}));
    EXPECT_EQ(list.at(2)->category, 1);

    EXPECT_TRUE(check(list, true, false));
    ASSERT_EQ(questioner.asked.size(), 1u);
    const Question& question = questioner.asked[0];
    EXPECT_EQ(question.text, std::wstring(L"You seem to be missing 1 part(s) with ordinal(s): 3.") + QUESTION_END);
    EXPECT_EQ(question.caption, L"Test Missing Parts");
    EXPECT_EQ(question.icon, Question::Icon::warning);
    EXPECT_FALSE(question.yes_is_default);
}

TEST_F(ListChecks, MissingRunsAndTheLimitOfEight) {
    EXPECT_TRUE(check(parts({{1, 10}, {5, 5}}), true, false));
    EXPECT_EQ(questioner.asked.back().text,
              std::wstring(L"You seem to be missing 3 part(s) with ordinal(s): 2, 3, 4.") + QUESTION_END);

    EXPECT_TRUE(check(parts({{1, 10}, {20, 5}}), true, false));
    EXPECT_EQ(questioner.asked.back().text,
              std::wstring(L"You seem to be missing more than 8 parts with ordinals: 2, 3, 4, 5, 6, 7, 8, 9, ..") +
                  L"." + QUESTION_END);

    // Later parts found in the folder are missing from the join as well, after those within.
    EXPECT_TRUE(check(parts({{1, 10}, {2, 10}}), true, false, 5));
    EXPECT_EQ(questioner.asked.back().text,
              std::wstring(L"You seem to be missing 3 part(s) with ordinal(s): 3, 4, 5.") + QUESTION_END);
    EXPECT_TRUE(check(parts({{1, 10}, {3, 5}}), true, false, 12));
    EXPECT_EQ(questioner.asked.back().text,
              std::wstring(L"You seem to be missing more than 8 parts with ordinals: 2, 4, 5, 6, 7, 8, 9, 10, ..") +
                  L"." + QUESTION_END);
    // Parts that the join rebuilds from a recovery set are not missing.
    EXPECT_TRUE(check(parts({{1, 10}, {5, 5}}), true, false, 7, {3, 7}));
    EXPECT_EQ(questioner.asked.back().text,
              std::wstring(L"You seem to be missing 3 part(s) with ordinal(s): 2, 4, 6.") + QUESTION_END);
    const std::size_t asked = questioner.asked.size();
    EXPECT_TRUE(check(parts({{1, 10}, {2, 10}, {3, 5}}), true, false, 3));
    EXPECT_TRUE(check(parts({{1, 10}, {2, 10}}), false, false, 5));
    EXPECT_TRUE(check(parts({{1, 10}, {3, 5}}), true, false, 3, {2}));
    EXPECT_EQ(questioner.asked.size(), asked);
}

TEST_F(ListChecks, ExactlyEightMissingIsNotMoreThanEight) {
    EXPECT_TRUE(check(parts({{1, 10}, {10, 5}}), true, false));
    EXPECT_EQ(
        questioner.asked.back().text,
        std::wstring(L"You seem to be missing 8 part(s) with ordinal(s): 2, 3, 4, 5, 6, 7, 8, 9.") + QUESTION_END);
}

TEST_F(ListChecks, TenDigitOrdinalsAreListedWhole) {
    PartList list;
    list.add_part(NO_POSITION, false, L"C:\\In\\x.001", 10, 0, false);
    for (std::uint32_t i = 0; i < 9; ++i)
        list.add_part(NO_POSITION, false, L"C:\\In\\x." + std::to_wstring(4000000000u + i), 7, 0, false);
    list.add_part(NO_POSITION, false, L"C:\\In\\x.4100000000", 50, 0, false);
    EXPECT_TRUE(check(list, false, true));
    // The scan ends at the ninth mismatch, so the larger last part is never looked at.
    ASSERT_EQ(questioner.asked.size(), 1u);
    EXPECT_EQ(questioner.asked[0].text,
              std::wstring(L"It seems that 8 part(s) have different file size than first part, this could mean that "
                           L"those parts are corrupted or do not belong in the same group. Ordinal(s) of part(s) with "
                           L"different size: 4000000000, 4000000001, 4000000002, 4000000003, 4000000004, 4000000005, "
                           L"4000000006, 4000000007, ...") +
                  QUESTION_END);
}

TEST_F(ListChecks, ADuplicatePart) {
    PartList list = parts({{1, 10}, {2, 10}, {2, 10}, {3, 5}});
    evaluate_statuses(list, false, settings);
    EXPECT_EQ(statuses(list), (std::vector<std::int32_t>{0, 0, STATUS_UNEXPECTED_ORDINAL, 0}));
    EXPECT_TRUE(check(list, true, false));
    EXPECT_EQ(questioner.asked.back().text,
              std::wstring(L"You seem to be missing 1 part(s) with ordinal(s): 3.") + QUESTION_END);
}

TEST_F(ListChecks, LastPartLargerOrEqual) {
    PartList larger = parts({{1, 10}, {2, 10}, {3, 10}, {4, 11}});
    evaluate_statuses(larger, false, settings);
    EXPECT_EQ(statuses(larger), (std::vector<std::int32_t>{0, 0, 0, STATUS_LAST_LARGER}));
    EXPECT_TRUE(check(larger, false, true));
    ASSERT_EQ(questioner.asked.size(), 1u);
    const Question& question = questioner.asked[0];
    EXPECT_EQ(question.text,
              std::wstring(L"It seems that last part doesn't have smaller file size which could be a sign that you "
                           L"are missing last part, however this is not necessarily true.") +
                  QUESTION_END);
    EXPECT_EQ(question.caption, L"Test Parts Size");
    EXPECT_EQ(question.icon, Question::Icon::information);
    EXPECT_TRUE(question.yes_is_default);

    PartList equal = parts({{1, 10}, {2, 10}, {3, 10}});
    evaluate_statuses(equal, false, settings);
    EXPECT_EQ(statuses(equal), (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_TRUE(check(equal, false, true));
    EXPECT_EQ(questioner.asked.size(), 2u);
    EXPECT_EQ(questioner.asked.back().icon, Question::Icon::information);

    EXPECT_TRUE(check(parts({{1, 10}, {2, 10}, {3, 9}}), false, true));
    EXPECT_EQ(questioner.asked.size(), 2u);
}

TEST_F(ListChecks, AMiddlePartOfAnotherSize) {
    PartList list = parts({{1, 10}, {2, 12}, {3, 10}, {4, 5}});
    evaluate_statuses(list, false, settings);
    EXPECT_EQ(statuses(list), (std::vector<std::int32_t>{0, STATUS_SIZE_MISMATCH, 0, 0}));
    EXPECT_TRUE(check(list, false, true));
    ASSERT_EQ(questioner.asked.size(), 1u);
    EXPECT_EQ(questioner.asked[0].text,
              std::wstring(L"It seems that 1 part(s) have different file size than first part, this could mean that "
                           L"those parts are corrupted or do not belong in the same group. Ordinal(s) of part(s) with "
                           L"different size: 2.") +
                  QUESTION_END);
    EXPECT_EQ(questioner.asked[0].caption, L"Test Parts Size");
    EXPECT_EQ(questioner.asked[0].icon, Question::Icon::warning);
}

TEST_F(ListChecks, ListsNotStartingWithPartOneAreNotTested) {
    for (PartList list : {parts({{2, 10}, {3, 10}, {9, 50}}), [] {
                              PartList numbered_one;
                              numbered_one.add_part(NO_POSITION, false, L"C:\\In\\x.1", 10, 0, false);
                              numbered_one.add_part(NO_POSITION, false, L"C:\\In\\x.7", 50, 0, false);
                              return numbered_one;
                          }()}) {
        list.at(0)->set_status(STATUS_UNEXPECTED_ORDINAL);
        list.at(1)->set_status(STATUS_CANNOT_READ);
        evaluate_statuses(list, false, settings);
        // Warnings go; an entry that cannot be read keeps its error.
        EXPECT_EQ(list.at(0)->status, STATUS_OK);
        EXPECT_EQ(list.at(1)->status, STATUS_CANNOT_READ);
        EXPECT_TRUE(check(list));
    }
    EXPECT_TRUE(questioner.asked.empty());
}

TEST_F(ListChecks, ErrorEntriesAreSkippedOnLoad) {
    PartList list = parts({{1, 10}, {2, 10}, {3, 10}, {4, 5}});
    list.at(2)->set_status(STATUS_CANNOT_READ);
    evaluate_statuses(list, false, settings);
    // x.004 is compared with x.002, the last ordinal before the skipped entry.
    EXPECT_EQ(statuses(list), (std::vector<std::int32_t>{0, 0, STATUS_CANNOT_READ, STATUS_UNEXPECTED_ORDINAL}));
}

TEST_F(ListChecks, BothOnLoadTestsOff) {
    PartList list = parts({{1, 10}, {2, 12}, {4, 10}, {5, 5}});
    list.at(0)->set_status(STATUS_CANNOT_WRITE);
    list.at(2)->set_status(STATUS_CANNOT_READ);
    list.at(1)->set_status(STATUS_SIZE_MISMATCH);
    settings.skip_missing_test_on_load = true;
    settings.skip_size_test_on_load = true;

    evaluate_statuses(list, false, settings);
    EXPECT_EQ(statuses(list), (std::vector<std::int32_t>{STATUS_CANNOT_WRITE, 0, STATUS_CANNOT_READ, 0}));
    evaluate_statuses(list, true, settings);
    EXPECT_EQ(statuses(list), (std::vector<std::int32_t>{STATUS_CANNOT_WRITE, 0, STATUS_CANNOT_READ, 0}));
}

TEST_F(ListChecks, OneOnLoadTestAlone) {
    PartList list = parts({{1, 10}, {2, 12}, {4, 10}, {5, 5}});
    settings.skip_size_test_on_load = true;
    evaluate_statuses(list, true, settings);
    EXPECT_EQ(statuses(list), (std::vector<std::int32_t>{0, 0, STATUS_UNEXPECTED_ORDINAL, 0}));
    settings.skip_size_test_on_load = false;
    settings.skip_missing_test_on_load = true;
    evaluate_statuses(list, false, settings);
    EXPECT_EQ(statuses(list), (std::vector<std::int32_t>{0, STATUS_SIZE_MISMATCH, 0, 0}));
}

TEST_F(ListChecks, ASingleEntryIsLeftAlone) {
    PartList list = parts({{1, 10}});
    list.at(0)->set_status(STATUS_CANNOT_READ);
    evaluate_statuses(list, false, settings);
    EXPECT_EQ(list.at(0)->status, STATUS_CANNOT_READ);
    EXPECT_TRUE(check(list));
    EXPECT_TRUE(questioner.asked.empty());
}

TEST_F(ListChecks, NoStopsAtTheFirstQuestion) {
    questioner.answer_yes = false;
    PartList list = parts({{1, 10}, {3, 12}, {4, 20}});
    EXPECT_FALSE(check(list));
    ASSERT_EQ(questioner.asked.size(), 1u);
    EXPECT_EQ(questioner.asked[0].caption, L"Test Missing Parts");

    questioner.asked.clear();
    EXPECT_FALSE(check(list, false, true));
    ASSERT_EQ(questioner.asked.size(), 1u);
    EXPECT_EQ(questioner.asked[0].text.find(L"It seems that 1 part(s)"), 0u);

    questioner.asked.clear();
    EXPECT_FALSE(check(parts({{1, 10}, {2, 20}}), false, true));
    ASSERT_EQ(questioner.asked.size(), 1u);
    EXPECT_EQ(questioner.asked[0].icon, Question::Icon::information);
}

TEST_F(ListChecks, QuestionsFollowTheCurrentLanguage) {
    texts.messages.entries()[18].set_translation(L"Es fehlen %d Teile: %s.");
    texts.messages.entries()[23].set_translation(L" Weiter?");
    EXPECT_TRUE(check(parts({{1, 10}, {4, 5}}), true, false));
    EXPECT_EQ(questioner.asked.back().text, L"Es fehlen 2 Teile: 2, 3. Weiter?");
}

}  // namespace
}  // namespace mendlet
