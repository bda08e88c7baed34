#include "join/temporary_output.h"

namespace mendlet {

namespace {

constexpr std::size_t LONGEST_FILE_NAME = 255;

}  // namespace

std::wstring temporary_output_path(std::wstring_view output_path) {
    const std::size_t name_start = output_path.find_last_of(L"\\/") + 1;  // 0 when there is no folder
    const std::size_t name_room = LONGEST_FILE_NAME - TEMPORARY_OUTPUT_SUFFIX.size();
    std::wstring path(output_path.substr(0, name_start + std::min(output_path.size() - name_start, name_room)));
    path += TEMPORARY_OUTPUT_SUFFIX;
    return path;
}

}  // namespace mendlet
