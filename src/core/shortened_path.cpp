#include "core/shortened_path.h"

#include <algorithm>
#include <vector>

namespace mendlet {

namespace {

// The drive (C:\) or the share (\\server\share\) that a shortened path keeps; none for a
// relative path.
std::size_t root_length(std::wstring_view path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return 3;
    if (!path.starts_with(L"\\\\")) return 0;
    std::size_t end = 2;
    for (int separators = 0; separators < 2; ++separators) {
        end = path.find(L'\\', end);
        if (end == std::wstring_view::npos) return 0;
        ++end;
    }
    return end;
}

// The longest of the candidates that fits, by bisection: they are ordered from the shortest,
// and a longer one fits only where the shorter ones do. None fitting gives the shortest.
template <typename Candidate>
std::wstring longest_fitting(std::size_t count, Candidate candidate,
                             const std::function<bool(std::wstring_view)>& fits) {
    std::size_t low = 0;
    std::size_t high = count;
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        (fits(candidate(middle)) ? low : high) = middle;
    }
    return candidate(low);
}

}  // namespace

std::wstring shortened_path(std::wstring_view path, const std::function<bool(std::wstring_view)>& fits) {
    if (fits(path)) return std::wstring(path);
    const std::size_t root = root_length(path);
    const std::size_t name_start = std::max(path.find_last_of(L'\\') + 1, root);
    const std::wstring_view name = path.substr(name_start);
    std::wstring head(path.substr(0, root));
    if (name_start > root) head += std::wstring{ELLIPSIS, L'\\'};

    if (fits(head + std::wstring(name))) {
        // The folders that can stay, from the last one back: where each such tail starts.
        std::vector<std::size_t> tails{name_start};
        for (std::size_t at = name_start; at > root + 1;) {
            at = path.find_last_of(L'\\', at - 2) + 1;
            if (at <= root) break;
            tails.push_back(at);
        }
        const auto with_folders = [&](std::size_t kept) { return head + std::wstring(path.substr(tails[kept])); };
        return longest_fitting(tails.size(), with_folders, fits);
    }
    // The file name alone is too long: its middle goes, the end with the part number stays.
    const auto cut_name = [&](std::size_t kept) {
        const std::size_t end = std::min(kept, (kept + 1) / 2 + 8);
        return head + std::wstring(name.substr(0, kept - end)) + ELLIPSIS +
               std::wstring(name.substr(name.size() - end));
    };
    return longest_fitting(name.size(), cut_name, fits);
}

}  // namespace mendlet
