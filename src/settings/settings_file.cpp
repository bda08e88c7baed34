#include "settings/settings_file.h"

#include <algorithm>

#include "core/text_encoding.h"

namespace mendlet {

namespace {

inline constexpr std::uint16_t SETTINGS_FILE_FORMAT = 1;
inline constexpr std::size_t SETTINGS_FILE_MIN = 8;
inline constexpr std::uint16_t TAG_CUSTOM_OUTPUT_PATH = 1;
inline constexpr std::uint16_t STRINGS_COUNT_LIMIT = 0x8000;

// Byte offsets of the SettingsFile record.
enum Offset : std::size_t {
    FORMAT = 0,
    REVISION = 2,
    AUTO_SORT = 4,
    APPEND_TO_FIRST = 5,
    REMOVE_ALL_AFTER_JOIN = 6,
    ALWAYS_ON_TOP = 7,
    CRC32_ENABLED = 8,
    MD5_ENABLED = 9,
    HASH_SHOWN = 10,
    EXIT_WHEN_DONE = 11,
    OPEN_OUTPUT_FILE_WHEN_DONE = 12,
    DISABLE_AUTO_LOAD = 13,
    RECURSE_SUBFOLDERS = 14,
    DELETE_PARTS_WHEN_DONE = 15,
    OPEN_OUTPUT_FOLDER_WHEN_DONE = 16,
    USE_RECYCLE_BIN = 17,
    SORT_BY_WHOLE_PATH = 18,
    SKIP_MISSING_TEST_ON_LOAD = 19,
    SKIP_SIZE_TEST_ON_LOAD = 20,
    USE_CUSTOM_OUTPUT_PATH = 21,
    REMEMBER_WINDOW_POSITION = 22,
    WINDOW_LEFT = 24,
    WINDOW_TOP = 28,
    LANGUAGE_ID = 32,
    TEST_MISSING_BEFORE_JOIN = 36,
    TEST_SIZE_BEFORE_JOIN = 37,
    CHECK_VERSION_ON_START = 38,
};

void put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t get16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

std::uint32_t get32(const std::uint8_t* at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | at[i];
    return value;
}

}  // namespace

std::array<std::uint8_t, SETTINGS_FILE_SIZE> encode_settings_file(const Settings& settings, const WindowState& window) {
    std::array<std::uint8_t, SETTINGS_FILE_SIZE> bytes{};
    put16(&bytes[FORMAT], SETTINGS_FILE_FORMAT);
    put16(&bytes[REVISION], static_cast<std::uint16_t>(SETTINGS_FILE_REVISION));
    bytes[AUTO_SORT] = window.auto_sort;
    bytes[APPEND_TO_FIRST] = window.append_to_first;
    bytes[REMOVE_ALL_AFTER_JOIN] = settings.remove_all_after_join;
    bytes[ALWAYS_ON_TOP] = window.always_on_top;
    bytes[CRC32_ENABLED] = window.crc32_enabled;
    bytes[MD5_ENABLED] = window.md5_enabled;
    bytes[HASH_SHOWN] = window.hash_shown;
    bytes[EXIT_WHEN_DONE] = window.exit_when_done;
    bytes[OPEN_OUTPUT_FILE_WHEN_DONE] = window.open_output_file_when_done;
    bytes[DISABLE_AUTO_LOAD] = settings.disable_auto_load;
    bytes[RECURSE_SUBFOLDERS] = settings.recurse_subfolders;
    bytes[DELETE_PARTS_WHEN_DONE] = window.delete_parts_when_done;
    bytes[OPEN_OUTPUT_FOLDER_WHEN_DONE] = window.open_output_folder_when_done;
    bytes[USE_RECYCLE_BIN] = settings.use_recycle_bin;
    bytes[SORT_BY_WHOLE_PATH] = settings.sort_by_whole_path;
    bytes[SKIP_MISSING_TEST_ON_LOAD] = settings.skip_missing_test_on_load;
    bytes[SKIP_SIZE_TEST_ON_LOAD] = settings.skip_size_test_on_load;
    bytes[USE_CUSTOM_OUTPUT_PATH] = settings.use_custom_output_path;
    bytes[REMEMBER_WINDOW_POSITION] = settings.remember_window_position;
    if (settings.remember_window_position) {
        put32(&bytes[WINDOW_LEFT], static_cast<std::uint32_t>(window.window_left));
        put32(&bytes[WINDOW_TOP], static_cast<std::uint32_t>(window.window_top));
    }
    put32(&bytes[LANGUAGE_ID], window.language_id);
    bytes[TEST_MISSING_BEFORE_JOIN] = settings.test_missing_before_join;
    bytes[TEST_SIZE_BEFORE_JOIN] = settings.test_size_before_join;
    bytes[CHECK_VERSION_ON_START] = settings.check_version_on_start;
    return bytes;
}

std::optional<SettingsFileRecord> decode_settings_file(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < SETTINGS_FILE_MIN) return std::nullopt;
    std::array<std::uint8_t, SETTINGS_FILE_READ_MAX> b{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), b.size()), b.begin());
    if (get16(&b[FORMAT]) != SETTINGS_FILE_FORMAT) return std::nullopt;

    SettingsFileRecord record;
    record.revision = static_cast<std::int16_t>(get16(&b[REVISION]));
    WindowState& window = record.window;
    Settings& settings = record.settings;
    window.auto_sort = b[AUTO_SORT] != 0;
    window.append_to_first = b[APPEND_TO_FIRST] != 0;
    settings.remove_all_after_join = b[REMOVE_ALL_AFTER_JOIN] != 0;
    window.always_on_top = b[ALWAYS_ON_TOP] != 0;
    window.crc32_enabled = b[CRC32_ENABLED] != 0;
    window.md5_enabled = b[MD5_ENABLED] != 0;
    // Revisions up to 4 stored whether the hash area was hidden.
    window.hash_shown = (b[HASH_SHOWN] != 0) != (record.revision <= 4);
    window.exit_when_done = b[EXIT_WHEN_DONE] != 0;
    window.open_output_file_when_done = b[OPEN_OUTPUT_FILE_WHEN_DONE] != 0;
    settings.disable_auto_load = b[DISABLE_AUTO_LOAD] != 0;
    settings.recurse_subfolders = b[RECURSE_SUBFOLDERS] != 0;
    window.delete_parts_when_done = b[DELETE_PARTS_WHEN_DONE] != 0;
    window.open_output_folder_when_done = b[OPEN_OUTPUT_FOLDER_WHEN_DONE] != 0;
    if (!record.has_revision6_fields()) return record;

    settings.use_recycle_bin = b[USE_RECYCLE_BIN] != 0;
    settings.sort_by_whole_path = b[SORT_BY_WHOLE_PATH] != 0;
    settings.skip_missing_test_on_load = b[SKIP_MISSING_TEST_ON_LOAD] != 0;
    settings.skip_size_test_on_load = b[SKIP_SIZE_TEST_ON_LOAD] != 0;
    settings.use_custom_output_path = b[USE_CUSTOM_OUTPUT_PATH] != 0;
    settings.remember_window_position = b[REMEMBER_WINDOW_POSITION] != 0;
    window.window_left = static_cast<std::int32_t>(get32(&b[WINDOW_LEFT]));
    window.window_top = static_cast<std::int32_t>(get32(&b[WINDOW_TOP]));
    window.language_id = get32(&b[LANGUAGE_ID]);
    settings.test_missing_before_join = b[TEST_MISSING_BEFORE_JOIN] != 0;
    settings.test_size_before_join = b[TEST_SIZE_BEFORE_JOIN] != 0;
    settings.check_version_on_start = b[CHECK_VERSION_ON_START] != 0;
    return record;
}

std::vector<std::uint8_t> encode_strings_file(const Settings& settings) {
    std::u16string units = to_utf16(settings.custom_output_path);
    // A count must stay below 0x8000, NUL included.
    if (units.size() >= STRINGS_COUNT_LIMIT - 1) units.resize(STRINGS_COUNT_LIMIT - 2);
    const auto count = static_cast<std::uint16_t>(units.empty() ? 0 : units.size() + 1);
    std::vector<std::uint8_t> bytes(4 + 2 * (units.size() + 1));
    put16(&bytes[0], TAG_CUSTOM_OUTPUT_PATH);
    put16(&bytes[2], count);
    for (std::size_t i = 0; i < units.size(); ++i) put16(&bytes[4 + 2 * i], units[i]);
    return bytes;
}

std::optional<std::wstring> decode_strings_file(std::span<const std::uint8_t> bytes) {
    std::optional<std::wstring> custom_output_path;
    std::size_t at = 0;
    while (bytes.size() - at >= 4) {
        const std::uint16_t tag = get16(&bytes[at]);
        const std::uint16_t count = get16(&bytes[at + 2]);
        at += 4;
        // Only tag 1 is ever written: anything else means the file is damaged.
        if (tag != TAG_CUSTOM_OUTPUT_PATH || count >= STRINGS_COUNT_LIMIT) break;
        const std::size_t length = 2 * std::size_t{count == 0 ? 1u : count};
        if (bytes.size() - at < length) break;
        std::u16string units;
        for (std::size_t i = 0; i + 1 < count; ++i) units += static_cast<char16_t>(get16(&bytes[at + 2 * i]));
        // The text ends at its first NUL; the last unit always is one.
        if (const std::size_t nul = units.find(u'\0'); nul != std::u16string::npos) units.resize(nul);
        if (units.empty())
            custom_output_path.reset();
        else
            custom_output_path = from_utf16(units);
        at += length;
    }
    return custom_output_path;
}

Settings settings_from_files(const std::optional<SettingsFileRecord>& record,
                             const std::optional<std::wstring>& custom_output_path) {
    Settings settings = record ? record->settings : Settings{};
    settings.custom_output_path = custom_output_path.value_or(std::wstring());
    settings.use_custom_output_path = settings.use_custom_output_path && !settings.custom_output_path.empty();
    return settings;
}

std::optional<SettingsFilePaths> settings_file_paths(std::wstring_view executable_path) {
    const std::size_t length = executable_path.size();
    if (length < 6 || executable_path[length - 4] != L'.') return std::nullopt;
    const std::size_t folder_end = executable_path.find_last_of(L'\\') + 1;  // 0 without a folder
    return SettingsFilePaths{std::wstring(executable_path.substr(0, length - 4)),
                             std::wstring(executable_path.substr(0, folder_end)) + L"strings"};
}

WindowPosition place_on_work_area(WindowPosition wanted, WorkArea area, WindowSize window) {
    // The far edge first, so that a window too large for the area keeps its near edge in it.
    const auto fit = [](std::int32_t start, std::int32_t size, std::int32_t low, std::int32_t high) {
        return std::max(low, std::min(start, high - size));
    };
    return {fit(wanted.left, window.width, area.left, area.right), fit(wanted.top, window.height, area.top, area.bottom)};
}

}  // namespace mendlet
