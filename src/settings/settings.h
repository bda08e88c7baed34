#pragma once
// The options of the settings dialog, with their defaults.

#include <string>

namespace mendlet {

struct Settings {
    bool skip_missing_test_on_load = false;
    bool skip_size_test_on_load = false;
    bool test_missing_before_join = false;
    bool test_size_before_join = false;
    bool sort_by_whole_path = false;
    bool remove_all_after_join = true;
    bool disable_auto_load = false;
    bool recurse_subfolders = false;
    bool remember_window_position = true;
    bool use_recycle_bin = true;
    // Set only while custom_output_path holds a folder.
    bool use_custom_output_path = false;
    std::wstring custom_output_path;
    bool check_version_on_start = true;
};

}  // namespace mendlet
