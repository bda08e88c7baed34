#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace mendlet {
namespace {

std::vector<std::uint8_t> bytes_of(std::initializer_list<int> values) {
    std::vector<std::uint8_t> bytes;
    for (int value : values) bytes.push_back(static_cast<std::uint8_t>(value));
    return bytes;
}

TEST(SettingsDefaults, WithoutFiles) {
    const Settings settings = settings_from_files(std::nullopt, std::nullopt);
    EXPECT_TRUE(settings.remove_all_after_join);
    EXPECT_TRUE(settings.remember_window_position);
    EXPECT_TRUE(settings.use_recycle_bin);
    EXPECT_TRUE(settings.check_version_on_start);
    EXPECT_FALSE(settings.skip_missing_test_on_load || settings.skip_size_test_on_load ||
                 settings.test_missing_before_join || settings.test_size_before_join || settings.sort_by_whole_path ||
                 settings.disable_auto_load || settings.recurse_subfolders || settings.use_custom_output_path);
    EXPECT_TRUE(settings.custom_output_path.empty());
    const WindowState window;
    EXPECT_TRUE(window.auto_sort);
    EXPECT_FALSE(window.hash_shown);
}

TEST(SettingsFile, WrittenRecordLayout) {
    Settings settings;
    settings.sort_by_whole_path = true;
    settings.test_size_before_join = true;
    settings.check_version_on_start = false;
    WindowState window;
    window.md5_enabled = true;
    window.hash_shown = true;
    window.window_left = -200;
    window.window_top = 0x01020304;
    window.language_id = 1031;
    const auto bytes = encode_settings_file(settings, window);
    EXPECT_EQ(bytes.size(), 39u);
    const std::vector<std::uint8_t> expected = bytes_of({
        1,    0,    9,    0,                    // format, revision
        1,    0,    1,    0,    0, 1, 1, 0, 0,  // auto sort .. open output file
        0,    0,    0,    0,                    // auto load .. open output folder
        1,    1,    0,    0,    0, 1, 0,        // recycle bin .. remember position, reserved
        0x38, 0xFF, 0xFF, 0xFF,                 // left -200
        4,    3,    2,    1,                    // top
        0x07, 0x04, 0,    0,                    // language 1031
        0,    1,    0,                          // tests before join, version check
    });
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected);

    settings.remember_window_position = false;
    const auto forgotten = encode_settings_file(settings, window);
    for (std::size_t i = 24; i < 32; ++i) EXPECT_EQ(forgotten[i], 0) << i;
}

TEST(SettingsFile, RoundTrip) {
    Settings settings;
    settings.skip_missing_test_on_load = true;
    settings.test_missing_before_join = true;
    settings.remove_all_after_join = false;
    settings.recurse_subfolders = true;
    settings.use_recycle_bin = false;
    settings.use_custom_output_path = true;
    WindowState window;
    window.auto_sort = false;
    window.append_to_first = true;
    window.always_on_top = true;
    window.crc32_enabled = true;
    window.exit_when_done = true;
    window.delete_parts_when_done = true;
    window.open_output_folder_when_done = true;
    window.window_left = 120;
    window.window_top = 80;
    window.language_id = 1036;
    const auto bytes = encode_settings_file(settings, window);
    const auto record = decode_settings_file(bytes);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->revision, 9);
    EXPECT_TRUE(record->has_revision6_fields());
    EXPECT_EQ(encode_settings_file(record->settings, record->window), bytes);
    // The custom folder flag needs the folder from the other file.
    EXPECT_FALSE(settings_from_files(record, std::nullopt).use_custom_output_path);
    const Settings restored = settings_from_files(record, std::wstring(L"D:\\out"));
    EXPECT_TRUE(restored.use_custom_output_path);
    EXPECT_EQ(restored.custom_output_path, L"D:\\out");
}

TEST(SettingsFile, ShortOrForeignFilesAreNotUsed) {
    EXPECT_FALSE(decode_settings_file(bytes_of({1, 0, 9, 0, 1, 1, 1})).has_value());
    EXPECT_FALSE(decode_settings_file(bytes_of({2, 0, 9, 0, 1, 1, 1, 1})).has_value());
    EXPECT_FALSE(decode_settings_file({}).has_value());
}

TEST(SettingsFile, EightBytesReadTheRestAsZeros) {
    const auto record = decode_settings_file(bytes_of({1, 0, 9, 0, 0, 1, 0, 1}));
    ASSERT_TRUE(record.has_value());
    EXPECT_FALSE(record->window.auto_sort);
    EXPECT_TRUE(record->window.append_to_first);
    EXPECT_FALSE(record->settings.remove_all_after_join);
    EXPECT_TRUE(record->window.always_on_top);
    EXPECT_FALSE(record->window.hash_shown);
    EXPECT_FALSE(record->settings.disable_auto_load);
    EXPECT_FALSE(record->settings.use_recycle_bin);
    EXPECT_FALSE(record->settings.check_version_on_start);
    EXPECT_FALSE(record->settings.remember_window_position);
    EXPECT_EQ(record->window.language_id, 0u);
}

TEST(SettingsFile, OldRevisions) {
    std::vector<std::uint8_t> bytes(39, 1);
    bytes[0] = 1;
    bytes[1] = 0;
    bytes[3] = 0;
    for (std::size_t i = 17; i < 39; ++i) bytes[i] = 0;

    // Up to revision 4 the byte said whether the hash area was hidden.
    for (int revision : {-3, 0, 4}) {
        bytes[2] = static_cast<std::uint8_t>(revision);
        bytes[3] = revision < 0 ? 0xFF : 0;
        bytes[10] = 0;
        EXPECT_TRUE(decode_settings_file(bytes)->window.hash_shown) << revision;
        bytes[10] = 1;
        EXPECT_FALSE(decode_settings_file(bytes)->window.hash_shown) << revision;
    }
    bytes[3] = 0;
    bytes[2] = 5;
    EXPECT_TRUE(decode_settings_file(bytes)->window.hash_shown);

    // Revision 5 lacks the later fields: they keep their defaults whatever the bytes say.
    const auto record = decode_settings_file(bytes);
    EXPECT_FALSE(record->has_revision6_fields());
    EXPECT_TRUE(record->settings.use_recycle_bin);
    EXPECT_TRUE(record->settings.check_version_on_start);
    EXPECT_TRUE(record->settings.remember_window_position);
    EXPECT_FALSE(record->settings.use_custom_output_path);
    EXPECT_EQ(record->window.language_id, 0u);
    EXPECT_TRUE(record->settings.disable_auto_load);
    EXPECT_TRUE(record->settings.recurse_subfolders);

    bytes[2] = 6;
    const auto revision6 = decode_settings_file(bytes);
    EXPECT_TRUE(revision6->has_revision6_fields());
    EXPECT_FALSE(revision6->settings.use_recycle_bin);
    EXPECT_FALSE(revision6->settings.check_version_on_start);
}

TEST(SettingsFile, FlagBytesOtherThanOneCountAsSet) {
    std::vector<std::uint8_t> bytes = bytes_of({1, 0, 9, 0, 0, 0, 7, 0});
    bytes.resize(39);
    bytes[14] = 0x80;
    const auto record = decode_settings_file(bytes);
    EXPECT_TRUE(record->settings.remove_all_after_join);
    EXPECT_TRUE(record->settings.recurse_subfolders);
    EXPECT_EQ(encode_settings_file(record->settings, record->window)[14], 1);
}

TEST(StringsFile, WrittenRecords) {
    Settings settings;
    EXPECT_EQ(encode_strings_file(settings), bytes_of({1, 0, 0, 0, 0, 0}));
    settings.custom_output_path = L"D:\\out";
    EXPECT_EQ(encode_strings_file(settings),
              bytes_of({1, 0, 7, 0, 'D', 0, ':', 0, '\\', 0, 'o', 0, 'u', 0, 't', 0, 0, 0}));
}

TEST(StringsFile, RoundTripOfNonAsciiFolders) {
    Settings settings;
    settings.custom_output_path = L"D:\\Ausgabe \u00e4\u00df\\\u65e5\u672c";
    EXPECT_EQ(decode_strings_file(encode_strings_file(settings)), settings.custom_output_path);
    settings.custom_output_path = L"";
    EXPECT_FALSE(decode_strings_file(encode_strings_file(settings)).has_value());
}

// Found by fuzzing: a folder of 0x7FFF units or more was written with a count of 0x8000,
// which the reader takes for a damaged file, and so was lost.
TEST(StringsFile, TheLongestFoldersAreCutToWhatTheReaderTakes) {
    Settings settings;
    for (std::size_t length : {0x7FFDu, 0x7FFEu, 0x7FFFu, 0x8000u, 0x9000u}) {
        settings.custom_output_path = L"D:\\" + std::wstring(length - 3, L'a');
        const std::vector<std::uint8_t> bytes = encode_strings_file(settings);
        EXPECT_LT(bytes[2] | (bytes[3] << 8), 0x8000) << length;
        const std::optional<std::wstring> read = decode_strings_file(bytes);
        ASSERT_TRUE(read.has_value()) << length;
        EXPECT_EQ(read->size(), std::min<std::size_t>(length, 0x7FFE));
        EXPECT_TRUE(*read == settings.custom_output_path.substr(0, 0x7FFE)) << length;
    }
}

TEST(StringsFile, LaterRecordsReplaceEarlierOnes) {
    EXPECT_EQ(decode_strings_file(bytes_of({1, 0, 2, 0, 'a', 0, 0, 0, 1, 0, 2, 0, 'b', 0, 0, 0})), L"b");
    EXPECT_FALSE(decode_strings_file(bytes_of({1, 0, 2, 0, 'a', 0, 0, 0, 1, 0, 0, 0, 0, 0})).has_value());
    // The last unit is taken as the end whatever it holds, and an inner NUL ends the text.
    EXPECT_EQ(decode_strings_file(bytes_of({1, 0, 3, 0, 'a', 0, 'b', 0, 'c', 0})), L"ab");
    EXPECT_EQ(decode_strings_file(bytes_of({1, 0, 3, 0, 'a', 0, 0, 0, 'c', 0})), L"a");
}

TEST(StringsFile, DamagedFilesEndTheReading) {
    // A count of 0x8000 or more.
    EXPECT_EQ(decode_strings_file(bytes_of({1, 0, 2, 0, 'a', 0, 0, 0, 1, 0, 0, 0x80, 'b', 0})), L"a");
    EXPECT_EQ(decode_strings_file(bytes_of({2, 0, 0xFF, 0xFF, 1, 0, 2, 0, 'b', 0, 0, 0})), std::nullopt);
    // A cut record or header.
    EXPECT_EQ(decode_strings_file(bytes_of({1, 0, 2, 0, 'a', 0, 0, 0, 1, 0, 5, 0, 'b', 0})), L"a");
    EXPECT_EQ(decode_strings_file(bytes_of({1, 0, 2, 0, 'a', 0, 0, 0, 1, 0})), L"a");
    EXPECT_EQ(decode_strings_file(bytes_of({1, 0, 0, 0, 0})), std::nullopt);
    // An unknown tag.
    EXPECT_EQ(
        decode_strings_file(bytes_of({1, 0, 2, 0, 'a', 0, 0, 0, 9, 0, 2, 0, 'b', 0, 0, 0, 1, 0, 2, 0, 'c', 0, 0, 0})),
        L"a");
}

TEST(SettingsFilePaths, BesideTheProgramOnlyForAThreeLetterExtension) {
    const auto paths = settings_file_paths(L"C:\\a.exe");
    ASSERT_TRUE(paths.has_value());
    EXPECT_EQ(paths->settings_file, L"C:\\a");
    EXPECT_EQ(paths->strings_file, L"C:\\strings");
    const auto tools = settings_file_paths(L"C:\\Tools\\mendlet.exe");
    ASSERT_TRUE(tools.has_value());
    EXPECT_EQ(tools->settings_file, L"C:\\Tools\\mendlet");
    EXPECT_EQ(tools->strings_file, L"C:\\Tools\\strings");
    EXPECT_FALSE(settings_file_paths(L"C:\\a.b").has_value());
    EXPECT_FALSE(settings_file_paths(L"C:\\Tools\\mendlet").has_value());
    EXPECT_FALSE(settings_file_paths(L"a.exe").has_value());  // five characters
    EXPECT_FALSE(settings_file_paths(L"").has_value());
}

// A window reaching past any edge of the work area is moved back inside it, whole; one larger
// than the area keeps its top-left corner in it. Work areas need not start at 0 (a taskbar at
// the top or left, a second monitor).
TEST(WindowPosition, PlacedWhollyOnTheWorkArea) {
    struct Case {
        WindowPosition wanted;
        WorkArea area;
        WindowSize window;
        WindowPosition expected;
    };
    const WorkArea full_hd{0, 0, 1920, 1040};
    const WorkArea left_of_primary{-1280, 40, 0, 800};
    for (const Case& c : {
             Case{{100, 100}, full_hd, {700, 450}, {100, 100}},
             Case{{-600, 100}, full_hd, {700, 450}, {0, 100}},
             Case{{100, -30}, full_hd, {700, 450}, {100, 0}},
             Case{{1500, 100}, full_hd, {700, 450}, {1220, 100}},
             Case{{100, 5000}, full_hd, {700, 450}, {100, 590}},
             Case{{1220, 590}, full_hd, {700, 450}, {1220, 590}},
             Case{{-1000, 500}, left_of_primary, {700, 450}, {-1000, 350}},
             Case{{-100, 0}, left_of_primary, {700, 450}, {-700, 40}},
             // 1019 by 780 at 144 pixels per inch on a 1280 by 760 work area.
             Case{{600, 300}, {0, 0, 1280, 760}, {1019, 780}, {261, 0}},
             Case{{-50, -50}, {0, 0, 800, 560}, {1019, 780}, {0, 0}},
         }) {
        const WindowPosition place = place_on_work_area(c.wanted, c.area, c.window);
        EXPECT_EQ(std::pair(place.left, place.top), std::pair(c.expected.left, c.expected.top))
            << c.wanted.left << "," << c.wanted.top;
    }
}

// Random and mutated files: decoding must neither crash nor read out of bounds (the native
// build runs this under the address and undefined-behaviour sanitizers).
TEST(SettingsDecoders, SurviveRandomInput) {
    std::mt19937 random(20261207);
    Settings settings;
    settings.custom_output_path = L"D:\\out\\folder";
    const std::vector<std::uint8_t> strings_seed = encode_strings_file(settings);
    const auto settings_seed = encode_settings_file(settings, WindowState{});
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::uint8_t> bytes;
        switch (round % 3) {
            case 0:
                bytes.assign(strings_seed.begin(), strings_seed.end());
                break;
            case 1:
                bytes.assign(settings_seed.begin(), settings_seed.end());
                break;
            default:
                bytes.resize(random() % 64);
                break;
        }
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int c = 0; c < changes && !bytes.empty(); ++c) {
            switch (random() % 4) {
                case 0:
                    bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
                    break;
                case 1:
                    bytes.resize(random() % (bytes.size() + 1));
                    break;
                case 2:
                    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(random() % bytes.size()),
                                 static_cast<std::uint8_t>(random()));
                    break;
                default:
                    bytes.insert(bytes.end(), bytes.begin(), bytes.end());
                    break;
            }
        }
        const auto custom = decode_strings_file(bytes);
        if (custom) {
            EXPECT_FALSE(custom->empty());
        }
        const auto record = decode_settings_file(bytes);
        if (record) {
            const Settings restored = settings_from_files(record, custom);
            EXPECT_TRUE(!restored.use_custom_output_path || !restored.custom_output_path.empty());
        }
    }
}

}  // namespace
}  // namespace mendlet
