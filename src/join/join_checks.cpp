#include "join/join_checks.h"

#include <algorithm>

namespace mendlet {

namespace {

void add_checks(std::vector<DigestCheck>& checks, const std::vector<ExpectedDigest>& expected,
                const std::wstring& file) {
    for (const ExpectedDigest& digest : expected) checks.push_back({digest, file});
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

JoinChecks collect_checks(const std::vector<ChecksumFile>& files, std::wstring_view output_name,
                          const std::vector<std::wstring>& part_paths) {
    JoinChecks checks;
    checks.parts.resize(part_paths.size());
    for (const ChecksumFile& file : files) {
        const ChecksumChecks found = match_checksum_entries(file.entries, output_name, part_paths);
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
        case DigestKind::sha256:
            return L"SHA-256";
    }
    return L"";
}

}  // namespace mendlet
