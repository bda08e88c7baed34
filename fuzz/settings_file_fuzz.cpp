// The SettingsFile as Mendlet reads it at start-up, with the StringsFile beside it.
// Input: one byte n, then n bytes of SettingsFile (fewer if the input ends), then the
// StringsFile.
//
// Properties: the decoder takes files of 8 or more bytes in format 1 and nothing else;
// bytes beyond the 40th change nothing, and missing ones read as 0; a record written again
// reads back the same (the window position only when it is remembered), and a record that
// the encoder could have written comes back byte for byte; settings_from_files takes every
// setting from the record and the folder from the StringsFile, and uses the folder only
// when there is one.

#include <algorithm>
#include <array>

#include "fuzz_support.h"
#include "settings/settings_file.h"

namespace mendlet {
namespace {

bool same_settings(const Settings& a, const Settings& b) {
    return a.skip_missing_test_on_load == b.skip_missing_test_on_load &&
           a.skip_size_test_on_load == b.skip_size_test_on_load &&
           a.test_missing_before_join == b.test_missing_before_join &&
           a.test_size_before_join == b.test_size_before_join && a.sort_by_whole_path == b.sort_by_whole_path &&
           a.remove_all_after_join == b.remove_all_after_join && a.disable_auto_load == b.disable_auto_load &&
           a.recurse_subfolders == b.recurse_subfolders && a.remember_window_position == b.remember_window_position &&
           a.use_recycle_bin == b.use_recycle_bin && a.use_custom_output_path == b.use_custom_output_path &&
           a.custom_output_path == b.custom_output_path && a.check_version_on_start == b.check_version_on_start;
}

bool same_window(const WindowState& a, const WindowState& b) {
    return a.auto_sort == b.auto_sort && a.append_to_first == b.append_to_first && a.always_on_top == b.always_on_top &&
           a.crc32_enabled == b.crc32_enabled && a.md5_enabled == b.md5_enabled && a.hash_shown == b.hash_shown &&
           a.exit_when_done == b.exit_when_done && a.open_output_file_when_done == b.open_output_file_when_done &&
           a.delete_parts_when_done == b.delete_parts_when_done &&
           a.open_output_folder_when_done == b.open_output_folder_when_done && a.window_left == b.window_left &&
           a.window_top == b.window_top && a.language_id == b.language_id;
}

bool same_record(const std::optional<SettingsFileRecord>& a, const std::optional<SettingsFileRecord>& b) {
    if (a.has_value() != b.has_value()) return false;
    return !a ||
           (a->revision == b->revision && same_settings(a->settings, b->settings) && same_window(a->window, b->window));
}

// Whether the encoder could have written these bytes: revision 9, flags of 0 or 1, the
// reserved byte 0 and no position unless it is remembered.
bool as_written(fuzz::Bytes file) {
    if (file.size() < SETTINGS_FILE_SIZE || file[2] != SETTINGS_FILE_REVISION || file[3] != 0) return false;
    for (std::size_t i = 4; i < SETTINGS_FILE_SIZE; ++i) {
        const bool flag = i < 23 || i >= 36;
        if (flag && file[i] > 1) return false;
    }
    if (file[23] != 0) return false;
    const bool remembered = file[22] != 0;
    return remembered || std::all_of(file.begin() + 24, file.begin() + 32, [](std::uint8_t b) { return b == 0; });
}

void check_settings_file(fuzz::Bytes file) {
    const std::optional<SettingsFileRecord> record = decode_settings_file(file);
    FUZZ_CHECK(record.has_value() == (file.size() >= 8 && file[0] == 1 && file[1] == 0));
    if (file.size() > SETTINGS_FILE_READ_MAX)
        FUZZ_CHECK(same_record(record, decode_settings_file(file.first(SETTINGS_FILE_READ_MAX))));
    if (file.size() >= 8 && file.size() < SETTINGS_FILE_READ_MAX) {
        std::array<std::uint8_t, SETTINGS_FILE_READ_MAX> padded{};
        std::copy(file.begin(), file.end(), padded.begin());
        FUZZ_CHECK(same_record(record, decode_settings_file(padded)));
    }
    if (!record) return;

    FUZZ_CHECK(record->has_revision6_fields() == (record->revision >= 6));
    FUZZ_CHECK(record->settings.custom_output_path.empty());
    if (!record->has_revision6_fields()) {
        // The later fields keep their defaults.
        const Settings defaults;
        const WindowState window;
        FUZZ_CHECK(record->settings.use_recycle_bin == defaults.use_recycle_bin &&
                   record->settings.sort_by_whole_path == defaults.sort_by_whole_path &&
                   record->settings.skip_missing_test_on_load == defaults.skip_missing_test_on_load &&
                   record->settings.skip_size_test_on_load == defaults.skip_size_test_on_load &&
                   record->settings.use_custom_output_path == defaults.use_custom_output_path &&
                   record->settings.remember_window_position == defaults.remember_window_position &&
                   record->settings.test_missing_before_join == defaults.test_missing_before_join &&
                   record->settings.test_size_before_join == defaults.test_size_before_join &&
                   record->settings.check_version_on_start == defaults.check_version_on_start &&
                   record->window.window_left == window.window_left && record->window.window_top == window.window_top &&
                   record->window.language_id == window.language_id);
    }

    // Written again, the record reads back the same, in today's revision.
    const auto written = encode_settings_file(record->settings, record->window);
    const std::optional<SettingsFileRecord> again = decode_settings_file(written);
    FUZZ_CHECK(again.has_value() && again->revision == SETTINGS_FILE_REVISION);
    SettingsFileRecord expected = *record;
    expected.revision = SETTINGS_FILE_REVISION;
    if (!expected.settings.remember_window_position) expected.window.window_left = expected.window.window_top = 0;
    FUZZ_CHECK(same_record(again, expected));
    FUZZ_CHECK(encode_settings_file(again->settings, again->window) == written);
    if (as_written(file)) FUZZ_CHECK(std::equal(written.begin(), written.end(), file.begin()));
}

void check_settings_from_files(const std::optional<SettingsFileRecord>& record,
                               const std::optional<std::wstring>& folder) {
    const Settings settings = settings_from_files(record, folder);
    Settings expected = record ? record->settings : Settings{};
    expected.custom_output_path = folder.value_or(std::wstring());
    expected.use_custom_output_path = expected.use_custom_output_path && !expected.custom_output_path.empty();
    FUZZ_CHECK(same_settings(settings, expected));
    FUZZ_CHECK(!settings.use_custom_output_path || !settings.custom_output_path.empty());
}

}  // namespace
}  // namespace mendlet

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mendlet;
    if (size == 0) return 0;
    const fuzz::Bytes input(data + 1, size - 1);
    const std::size_t settings_size = std::min<std::size_t>(data[0], input.size());
    const fuzz::Bytes settings_file = input.first(settings_size);
    const fuzz::Bytes strings_file = input.subspan(settings_size);

    check_settings_file(settings_file);
    const std::optional<SettingsFileRecord> record = decode_settings_file(settings_file);
    const std::optional<std::wstring> folder = decode_strings_file(strings_file);
    check_settings_from_files(record, folder);
    check_settings_from_files(record, std::nullopt);
    check_settings_from_files(std::nullopt, folder);
    return 0;
}
