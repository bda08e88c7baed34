#include "lang/languages.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace mendlet {
namespace {

Languages languages_with(std::initializer_list<std::int32_t> ids) {
    Languages languages;
    for (const std::int32_t id : ids) languages.add(id, L"file" + std::to_wstring(id) + L".lng");
    return languages;
}

// The file chosen, by its "laid"; 0 for English.
std::int32_t chosen_id(const Languages& languages, const LanguageChoice& choice) {
    return choice.language ? languages.entries()[*choice.language].language_id : 0;
}

TEST(Languages, MenuItemsCountDownFromBelowEnglishAndStopAt200) {
    Languages languages;
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(languages.add(7, L"x.lng"), std::optional<std::uint32_t>(40219u - static_cast<std::uint32_t>(i)));
    EXPECT_TRUE(languages.full());
    EXPECT_EQ(languages.add(7, L"x.lng"), std::nullopt);
    EXPECT_EQ(languages.entries().back().menu_id, 40020u);
    EXPECT_EQ(languages.find_menu_id(40020), std::optional<std::size_t>(199));
    EXPECT_EQ(languages.find_menu_id(MENU_ID_ENGLISH), std::nullopt);
    EXPECT_EQ(languages.find_menu_id(40019), std::nullopt);
}

TEST(Languages, TheSavedNumberOfTheLanguageInUse) {
    Languages languages = languages_with({1031, 0});
    EXPECT_EQ(languages.current_language_id(), 1033u);
    EXPECT_EQ(languages.current_menu_id(), MENU_ID_ENGLISH);
    languages.set_current(0);
    EXPECT_EQ(languages.current_language_id(), 1031u);
    EXPECT_EQ(languages.current_menu_id(), 40219u);
    languages.set_current(1);
    EXPECT_EQ(languages.current_language_id(), 0u);
}

TEST(ChooseLanguageById, EnglishNumbersSettleWithoutAFile) {
    const Languages languages = languages_with({2057, 1033, 1031});
    for (const std::uint32_t english : {1033u, 2057u, 9u}) {
        const LanguageChoice choice = choose_language_by_id(languages, english);
        EXPECT_TRUE(choice.settled) << english;
        EXPECT_FALSE(choice.language.has_value()) << english;
    }
    const LanguageChoice german = choose_language_by_id(languages, 1031);
    EXPECT_TRUE(german.settled);
    EXPECT_EQ(chosen_id(languages, german), 1031);
    // Only exact numbers count here; the interface language decides otherwise.
    EXPECT_FALSE(choose_language_by_id(languages, 7).settled);
    EXPECT_FALSE(choose_language_by_id(languages_with({0}), 0).settled);
}

TEST(ChooseLanguageForUi, ExactThenBarePrimaryThenSamePrimary) {
    struct Case {
        std::uint16_t ui;
        std::initializer_list<std::int32_t> files;
        std::int32_t chosen;
        std::size_t index;
    };
    const Case cases[] = {
        {1031, {7, 1031}, 1031, 1},
        {1031, {2055, 7}, 7, 1},
        {1031, {2055}, 2055, 0},
        {1049, {1049}, 1049, 0},
        {1031, {7, 2055, 7}, 7, 2},          // the last bare primary language
        {1031, {2055, 3079}, 2055, 0},  // the first of the same primary language
        {1031, {1036, 0}, 0, 0},
        {1033, {1031, 1033}, 0, 0},          // an English interface keeps English
    };
    for (const Case& c : cases) {
        const Languages languages = languages_with(c.files);
        const LanguageChoice choice = choose_language_for_ui(languages, c.ui);
        EXPECT_EQ(chosen_id(languages, choice), c.chosen) << c.ui;
        if (c.chosen != 0) {
            EXPECT_EQ(choice.language, std::optional<std::size_t>(c.index)) << c.ui;
        }
    }
}

TEST(ChooseLanguageForUi, AFileWithoutNumberIsNeverChosenByItself) {
    const Languages languages = languages_with({0});
    EXPECT_FALSE(choose_language_for_ui(languages, 0x0400).language.has_value());
    EXPECT_FALSE(choose_language_for_ui(languages, 0).language.has_value());
}

}  // namespace
}  // namespace mendlet
