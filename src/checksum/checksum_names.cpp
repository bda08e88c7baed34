#include "checksum/checksum_names.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>

#include "checksum/checksum_file.h"
#include "core/path_compare.h"

namespace mendlet {

namespace {

// Kept in one place, so that the files the finder reads are the files that an added folder
// leaves out, and the kind a name declares is the kind its extension or general name says.
constexpr std::array<std::wstring_view, 15> CHECKSUM_EXTENSIONS{
    L".sfv",    L".md5",    L".sha1",    L".sha256",    L".sha512",    L".b2",    L".b3",   L".blake2b",
    L".blake3", L".md5sum", L".sha1sum", L".sha256sum", L".sha512sum", L".b2sum", L".b3sum"};
constexpr std::wstring_view TEXT_EXTENSION = L".txt";
constexpr std::array<std::wstring_view, 14> GENERAL_NAMES{
    L"MD5SUMS",    L"SHA1SUMS",    L"SHA256SUMS",    L"SHA512SUMS",     L"B2SUMS",
    L"B3SUMS",     L"MD5SUMS.txt", L"SHA1SUMS.txt",  L"SHA256SUMS.txt", L"SHA512SUMS.txt",
    L"B2SUMS.txt", L"B3SUMS.txt",  L"checksums.txt", L"CHECKSUMS"};

// The kinds that the words of those names declare, as .sha256, .sha256sum and SHA256SUMS
// say "sha256"; CHECKSUMS says none.
struct KindWord {
    std::wstring_view word;
    DigestKind kind;
};
constexpr std::array<KindWord, 9> KIND_WORDS{{{L"sfv", DigestKind::crc32},
                                              {L"md5", DigestKind::md5},
                                              {L"sha1", DigestKind::sha1},
                                              {L"sha256", DigestKind::sha256},
                                              {L"sha512", DigestKind::sha512},
                                              {L"b2", DigestKind::blake2b},
                                              {L"blake2b", DigestKind::blake2b},
                                              {L"b3", DigestKind::blake3},
                                              {L"blake3", DigestKind::blake3}}};

bool same_name(std::wstring_view a, std::wstring_view b) { return compare_names_ignoring_case(a, b) == 0; }

bool ends_with_ignoring_case(std::wstring_view name, std::wstring_view end) {
    return name.size() >= end.size() && same_name(name.substr(name.size() - end.size()), end);
}

// The name without its last extension; none when it has none.
std::optional<std::wstring_view> name_without_extension(std::wstring_view name) {
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || dot == 0) return std::nullopt;
    return name.substr(0, dot);
}

class ReadingList {
public:
    explicit ReadingList(std::vector<std::wstring> candidates) : candidates_(std::move(candidates)) {}

    // Every candidate of that name, under its own, once.
    void add_named(std::wstring_view name, std::wstring_view subject) {
        for (const std::wstring& candidate : candidates_)
            if (same_name(candidate, name)) add(candidate, subject);
    }

    void add(const std::wstring& name, std::wstring_view subject, bool sidecar = false) {
        const bool known = std::any_of(files_.begin(), files_.end(),
                                       [&](const ChecksumFileToRead& file) { return file.name == name; });
        if (known || (!sidecar && files_.size() - sidecars_ >= CHECKSUM_FILES_READ)) return;
        files_.push_back({name, std::wstring(subject), sidecar});
        if (sidecar) ++sidecars_;
    }

    const std::vector<std::wstring>& candidates() const { return candidates_; }
    std::vector<ChecksumFileToRead> files() && { return std::move(files_); }

private:
    std::vector<std::wstring> candidates_;
    std::vector<ChecksumFileToRead> files_;
    std::size_t sidecars_ = 0;
};

}  // namespace

std::vector<std::wstring> checksum_file_names(std::wstring_view output_name) {
    output_name = last_name_component(output_name);
    std::vector<std::wstring> stems{std::wstring(output_name)};
    if (const auto stem = name_without_extension(output_name)) stems.emplace_back(*stem);
    std::vector<std::wstring> names;
    for (const std::wstring_view text : {std::wstring_view(), TEXT_EXTENSION})
        for (const std::wstring& stem : stems)
            for (const std::wstring_view extension : CHECKSUM_EXTENSIONS)
                names.push_back(stem + std::wstring(extension) + std::wstring(text));
    std::erase_if(names, [output_name](const std::wstring& name) { return same_name(name, output_name); });
    return names;
}

std::vector<ChecksumFileToRead> checksum_files_to_read(const std::vector<std::wstring>& folder_names,
                                                       const std::vector<std::wstring>& output_names,
                                                       const std::vector<std::wstring>& part_names) {
    // The few names that may be checksum files, so that a folder of many files costs one pass.
    std::vector<std::wstring> candidates;
    std::copy_if(folder_names.begin(), folder_names.end(), std::back_inserter(candidates),
                 [](const std::wstring& name) { return is_checksum_file_name(name); });
    ReadingList list(std::move(candidates));
    for (const std::wstring& output_name : output_names) {
        const std::wstring_view subject = last_name_component(output_name);
        for (const std::wstring& name : checksum_file_names(output_name)) list.add_named(name, subject);
    }
    for (const std::wstring_view name : GENERAL_NAMES) list.add_named(name, {});
    std::unordered_multimap<std::wstring, std::wstring_view> parts;
    for (const std::wstring& name : part_names) {
        const std::wstring_view part = last_name_component(name);
        parts.emplace(name_lookup_key(part), part);
    }
    for (const std::wstring& name : list.candidates()) {
        const std::optional<std::wstring_view> subject = checksum_file_subject(name);
        if (!subject) continue;
        const auto [first, last] = parts.equal_range(name_lookup_key(*subject));
        const auto part = std::find_if(first, last, [&](const auto& named) { return same_name(named.second, *subject); });
        if (part != last) list.add(name, part->second, true);
    }
    for (const std::wstring& name : list.candidates())
        if (is_sfv_file_name(name)) list.add(name, {});
    return std::move(list).files();
}

bool is_checksum_file_name(std::wstring_view name) {
    name = last_name_component(name);
    if (std::any_of(GENERAL_NAMES.begin(), GENERAL_NAMES.end(),
                    [name](std::wstring_view general) { return same_name(name, general); }))
        return true;
    if (ends_with_ignoring_case(name, TEXT_EXTENSION)) name.remove_suffix(TEXT_EXTENSION.size());
    return std::any_of(CHECKSUM_EXTENSIONS.begin(), CHECKSUM_EXTENSIONS.end(),
                       [name](std::wstring_view extension) { return ends_with_ignoring_case(name, extension); });
}

std::optional<std::wstring_view> checksum_file_subject(std::wstring_view name) {
    name = last_name_component(name);
    if (ends_with_ignoring_case(name, TEXT_EXTENSION)) name.remove_suffix(TEXT_EXTENSION.size());
    for (const std::wstring_view extension : CHECKSUM_EXTENSIONS)
        if (name.size() > extension.size() && ends_with_ignoring_case(name, extension))
            return name.substr(0, name.size() - extension.size());
    return std::nullopt;
}

std::optional<DigestKind> declared_kind(std::wstring_view name) {
    if (!is_checksum_file_name(name)) return std::nullopt;
    name = last_name_component(name);
    if (ends_with_ignoring_case(name, TEXT_EXTENSION)) name.remove_suffix(TEXT_EXTENSION.size());
    // Its extension, or the general name, without the "sum" or "sums" that ends it.
    std::wstring_view word = name.substr(name.rfind(L'.') + 1);
    for (const std::wstring_view sums : {L"sums", L"sum"})
        if (ends_with_ignoring_case(word, sums)) word.remove_suffix(sums.size());
    for (const KindWord& kind_word : KIND_WORDS)
        if (same_name(word, kind_word.word)) return kind_word.kind;
    return std::nullopt;
}

bool is_sfv_file_name(std::wstring_view name) {
    return ends_with_ignoring_case(name, L".sfv") || ends_with_ignoring_case(name, L".sfv.txt");
}

}  // namespace mendlet
