#include "join/join_checks.h"

#include <algorithm>

#include "core/path_compare.h"

namespace mendlet {

namespace {

// Adds a file's values to the check of their kind, each once, or makes that check.
void add_checks(std::vector<DigestCheck>& checks, const std::vector<ExpectedDigest>& expected,
                const std::wstring& file) {
    for (const ExpectedDigest& digest : expected) {
        const auto same_kind = std::find_if(
            checks.begin(), checks.end(), [&](const DigestCheck& check) { return check.expected.kind == digest.kind; });
        if (same_kind == checks.end()) {
            checks.push_back({digest, file});
            continue;
        }
        std::vector<std::string>& values = same_kind->expected.hex;
        for (const std::string& value : digest.hex)
            if (std::find(values.begin(), values.end(), value) == values.end()) values.push_back(value);
    }
}

std::size_t trailing_digits(std::wstring_view name) {
    std::size_t count = 0;
    while (count < name.size() && name[name.size() - 1 - count] >= L'0' && name[name.size() - 1 - count] <= L'9')
        ++count;
    return count;
}

DigestKinds kinds_of(const std::vector<DigestCheck>& checks) {
    DigestKinds kinds;
    for (const DigestCheck& check : checks) kinds.add(check.expected.kind);
    return kinds;
}

}  // namespace

DigestKinds JoinChecks::whole_file_kinds() const { return kinds_of(whole_file); }

std::vector<DigestKinds> JoinChecks::part_kinds() const {
    std::vector<DigestKinds> kinds;
    kinds.reserve(parts.size());
    for (const std::vector<DigestCheck>& checks : parts) kinds.push_back(kinds_of(checks));
    return kinds;
}

JoinChecks collect_checks(const std::vector<ChecksumFile>& files, const std::vector<std::wstring_view>& output_names,
                          const std::vector<std::wstring>& part_paths) {
    JoinChecks checks;
    checks.parts.resize(part_paths.size());
    for (const ChecksumFile& file : files) {
        const ChecksumChecks found = match_checksum_entries(file.entries, output_names, part_paths);
        add_checks(checks.whole_file, found.whole_file, file.name);
        for (std::size_t part = 0; part < found.parts.size(); ++part)
            add_checks(checks.parts[part], found.parts[part], file.name);
        const bool checks_something =
            !found.whole_file.empty() ||
            std::any_of(found.parts.begin(), found.parts.end(), [](const auto& part) { return !part.empty(); });
        if (checks_something && checks.first_file.empty()) checks.first_file = file.name;
    }
    return checks;
}

const DigestCheck* first_failed(const std::vector<DigestCheck>& checks,
                                const std::function<std::string(DigestKind)>& digest) {
    for (const DigestCheck& check : checks)
        if (!digest_agrees(check.expected, digest(check.expected.kind))) return &check;
    return nullptr;
}

const wchar_t* digest_name(DigestKind kind) {
    switch (kind) {
        case DigestKind::crc32:
            return L"CRC32";
        case DigestKind::md5:
            return L"MD5";
        case DigestKind::sha1:
            return L"SHA-1";
        case DigestKind::sha256:
            return L"SHA-256";
        case DigestKind::sha512:
            return L"SHA-512";
        case DigestKind::blake2b:
            return L"BLAKE2b";
        case DigestKind::blake3:
            return L"BLAKE3";
    }
    return L"";
}

bool is_part_of_set(std::wstring_view name, std::wstring_view first_part_path) {
    const std::wstring_view first = last_name_component(first_part_path);
    const std::size_t digits = trailing_digits(first);
    if (digits == 0 || name.size() != first.size() || trailing_digits(name) < digits) return false;
    const std::size_t stem = first.size() - digits;
    return compare_names_ignoring_case(name.substr(0, stem), first.substr(0, stem)) == 0;
}

std::optional<UnlistedPart> first_part_not_in_list(const std::vector<ChecksumFile>& files,
                                                   const std::vector<std::wstring>& part_paths) {
    if (part_paths.empty()) return std::nullopt;
    const auto in_list = [&](std::wstring_view name) {
        return std::any_of(part_paths.begin(), part_paths.end(), [name](const std::wstring& path) {
            return compare_names_ignoring_case(last_name_component(path), name) == 0;
        });
    };
    for (const ChecksumFile& file : files)
        for (const ChecksumEntry& entry : file.entries)
            if (is_part_of_set(entry.name, part_paths.front()) && !in_list(entry.name))
                return UnlistedPart{entry.name, file.name};
    return std::nullopt;
}

bool join_is_verified(const JoinChecks& checks, const std::vector<std::uint32_t>& ordinals, bool distinct) {
    if (checks.empty() || !distinct) return false;
    if (!checks.whole_file.empty()) return true;
    const bool every_part_checked = std::none_of(checks.parts.begin(), checks.parts.end(),
                                                 [](const std::vector<DigestCheck>& part) { return part.empty(); });
    const bool in_order = std::adjacent_find(ordinals.begin(), ordinals.end(), [](std::uint32_t a, std::uint32_t b) {
                              return b != a + 1;
                          }) == ordinals.end();
    return every_part_checked && in_order;
}

}  // namespace mendlet
