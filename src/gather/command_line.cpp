#include "gather/command_line.h"

#include <algorithm>

namespace mendlet {

namespace {

constexpr std::wstring_view BLANKS = L" \t";

// Where the arguments start: after the program's name and the blanks that follow it.
std::size_t arguments_start(std::wstring_view line) {
    std::size_t end = 0;
    if (line.front() == L'"') {
        end = line.find(L'"', 1);
        if (end != std::wstring_view::npos) ++end;
    } else {
        end = line.find_first_of(BLANKS);
    }
    if (end == std::wstring_view::npos) return line.size();
    const std::size_t start = line.find_first_not_of(BLANKS, end);
    return start == std::wstring_view::npos ? line.size() : start;
}

}  // namespace

std::vector<std::wstring> command_line_paths(std::wstring_view line) {
    std::vector<std::wstring> paths;
    if (line.empty()) return paths;
    std::size_t at = arguments_start(line);
    while (at < line.size()) {
        std::size_t end = 0;
        std::wstring_view argument;
        if (line[at] == L'"') {
            end = line.find(L'"', at + 1);
            if (end == std::wstring_view::npos) break;
            argument = line.substr(at + 1, end - at - 1);
            ++end;
        } else {
            end = std::min(line.find_first_of(BLANKS, at), line.size());
            argument = line.substr(at, end - at);
        }
        if (!argument.empty()) paths.emplace_back(argument);
        at = std::min(line.find_first_not_of(BLANKS, end), line.size());
    }
    return paths;
}

}  // namespace mendlet
