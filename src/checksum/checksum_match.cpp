#include "checksum/checksum_match.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "core/path_compare.h"

namespace mendlet {

namespace {

struct NameOrder {
    bool operator()(std::wstring_view a, std::wstring_view b) const { return compare_names_ignoring_case(a, b) < 0; }
};

// The digest of that kind among a file's, made in kind order if it is not there yet.
ExpectedDigest& expected_of(std::vector<ExpectedDigest>& digests, DigestKind kind) {
    auto place = std::find_if(digests.begin(), digests.end(),
                              [kind](const ExpectedDigest& digest) { return digest.kind >= kind; });
    if (place == digests.end() || place->kind != kind) place = digests.insert(place, {kind, {}});
    return *place;
}

}  // namespace

bool digest_agrees(const ExpectedDigest& expected, std::string_view hex) {
    return std::any_of(expected.hex.begin(), expected.hex.end(),
                       [hex](const std::string& value) { return value == hex; });
}

ChecksumChecks match_checksum_entries(const std::vector<ChecksumEntry>& entries,
                                      const std::vector<std::wstring_view>& output_names,
                                      const std::vector<std::wstring>& part_names) {
    ChecksumChecks checks;
    checks.parts.resize(part_names.size());
    std::multimap<std::wstring_view, std::size_t, NameOrder> parts_by_name;
    for (std::size_t i = 0; i < part_names.size(); ++i) parts_by_name.emplace(last_name_component(part_names[i]), i);
    const auto names_output = [&](std::wstring_view name) {
        return std::any_of(output_names.begin(), output_names.end(), [name](std::wstring_view output) {
            return compare_names_ignoring_case(name, last_name_component(output)) == 0;
        });
    };

    // A file's values, found again in a set: a long listing may name one file many times.
    const std::size_t whole_file = part_names.size();
    std::set<std::tuple<std::size_t, DigestKind, std::string_view>> listed;
    const auto expect = [&](std::size_t file, std::vector<ExpectedDigest>& digests, const ChecksumEntry& entry) {
        if (listed.emplace(file, entry.kind, entry.hex).second)
            expected_of(digests, entry.kind).hex.push_back(entry.hex);
    };
    for (const ChecksumEntry& entry : entries) {
        if (names_output(entry.name)) expect(whole_file, checks.whole_file, entry);
        const auto [first, last] = parts_by_name.equal_range(entry.name);
        for (auto part = first; part != last; ++part) expect(part->second, checks.parts[part->second], entry);
    }
    return checks;
}

}  // namespace mendlet
