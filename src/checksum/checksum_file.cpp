#include "checksum/checksum_file.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "checksum/checksum_names.h"
#include "checksum/checksum_text.h"

namespace mendlet {

namespace {

using Line = std::wstring_view;

constexpr wchar_t BLANKS[] = L" \t";

Line trimmed(Line text) {
    const std::size_t start = text.find_first_not_of(BLANKS);
    if (start == Line::npos) return {};
    return text.substr(start, text.find_last_not_of(BLANKS) - start + 1);
}

wchar_t upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool same_ignoring_ascii_case(Line a, Line b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return upper(x) == upper(y); });
}

bool starts_with_ignoring_ascii_case(Line text, Line start) {
    return same_ignoring_ascii_case(text.substr(0, start.size()), start);
}

// The position of `part` in text, without regard to ASCII case; npos when it is not there.
std::size_t find_ignoring_ascii_case(Line text, Line part) {
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at)
        if (same_ignoring_ascii_case(text.substr(at, part.size()), part)) return at;
    return Line::npos;
}

bool is_hex_digit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

bool is_hex(Line text) { return !text.empty() && std::all_of(text.begin(), text.end(), is_hex_digit); }

// The first word and what follows it, trimmed; the word is the whole line when it has no blank.
std::pair<Line, Line> first_word(Line line) {
    const std::size_t blank = std::min(line.find_first_of(BLANKS), line.size());
    return {line.substr(0, blank), trimmed(line.substr(blank))};
}

// The hashes that tools name: BSD tags and OpenSSL's, certutil's and Get-FileHash's words.
std::optional<DigestKind> named_kind(Line tag) {
    struct Name {
        Line tag;
        DigestKind kind;
    };
    static constexpr std::array<Name, 9> NAMES{{{L"MD5", DigestKind::md5},
                                                 {L"SHA1", DigestKind::sha1},
                                                 {L"SHA-1", DigestKind::sha1},
                                                 {L"SHA256", DigestKind::sha256},
                                                 {L"SHA-256", DigestKind::sha256},
                                                 {L"SHA2-256", DigestKind::sha256},
                                                 {L"SHA512", DigestKind::sha512},
                                                 {L"SHA-512", DigestKind::sha512},
                                                 {L"SHA2-512", DigestKind::sha512}}};
    for (const Name& name : NAMES)
        if (same_ignoring_ascii_case(tag, name.tag)) return name.kind;
    return std::nullopt;
}

bool holds_control_character(Line text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c < L' '; });
}

// The folders of a listed path before its name, with '\\' between them and without leading
// "." steps: "./CD1/x" is listed in CD1, ".\x" beside the checksum file.
std::wstring entry_folder(Line listed) {
    std::wstring folder(listed);
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    while (folder.starts_with(L".\\")) folder.erase(0, 2);
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder == L"." ? std::wstring() : folder;
}

// The name and its folders; none when the name is empty or holds a control character,
// which no Windows file name holds.
std::optional<std::pair<std::wstring, std::wstring>> entry_name(Line listed) {
    listed = trimmed(listed);
    const Line name = trimmed(last_name_component(listed));
    if (name.empty() || holds_control_character(listed)) return std::nullopt;
    return std::pair{std::wstring(name), entry_folder(listed.substr(0, listed.size() - name.size()))};
}

// Hands each line to take_line, trimmed; empty lines too, since they end Get-FileHash's
// records. A line ends at CR LF, CR or LF.
template <typename TakeLine>
void for_each_line(Line text, TakeLine take_line) {
    while (true) {
        const std::size_t end = std::min(text.find_first_of(L"\r\n"), text.size());
        take_line(trimmed(text.substr(0, end)));
        if (end == text.size()) return;
        text.remove_prefix(text.substr(end, 2) == L"\r\n" ? end + 2 : end + 1);
    }
}

// What the readers of both formats share: the entries, and the one bare digest that a file
// named after its subject may hold.
class EntryList {
public:
    explicit EntryList(Line subject) : subject_(subject) {}

    // Adds the entry, if the name and the hex make one.
    void add(Line listed_name, DigestKind kind, Line hex) {
        if (hex.size() != digest_hex_length(kind) || !is_hex(hex)) return;
        std::optional<std::pair<std::wstring, std::wstring>> name = entry_name(listed_name);
        if (!name) return;
        std::string lower_hex;
        for (const wchar_t c : hex) lower_hex += static_cast<char>(c >= L'A' && c <= L'F' ? c - L'A' + L'a' : c);
        entries_.push_back({std::move(name->first), kind, std::move(lower_hex), std::move(name->second)});
    }

    // Each line that is neither blank nor a comment; kind: that of the line's bare digest.
    void count_line(std::optional<DigestKind> kind, Line hex) {
        ++lines_;
        if (kind) bare_ = {*kind, std::wstring(hex)};
    }

    std::vector<ChecksumEntry> finish() {
        if (lines_ == 1 && bare_ && !subject_.empty()) add(subject_, bare_->first, bare_->second);
        return std::move(entries_);
    }

private:
    Line subject_;
    std::vector<ChecksumEntry> entries_;
    std::size_t lines_ = 0;
    std::optional<std::pair<DigestKind, std::wstring>> bare_;
};

void read_sfv_line(EntryList& list, Line line) {
    if (line.empty() || line.front() == L';') return;
    const std::size_t blank = line.find_last_of(BLANKS);
    const bool bare = blank == Line::npos && line.size() == digest_hex_length(DigestKind::crc32) && is_hex(line);
    list.count_line(bare ? std::optional(DigestKind::crc32) : std::nullopt, line);
    if (blank != Line::npos) list.add(line.substr(0, blank), DigestKind::crc32, line.substr(blank + 1));
}

// The lines of every other checksum file. certutil's and Get-FileHash's lists take more than
// one line for an entry, so their state lives from one line to the next.
class SumsReader {
public:
    explicit SumsReader(Line subject) : list_(subject) {}

    void read(Line line) {
        if (line.empty()) return end_record();
        if (line.front() == L'#' || line.substr(0, 2) == L"//") return;
        const std::optional<DigestKind> bare = is_hex(line) ? hash_of_hex_length(line.size()) : std::nullopt;
        list_.count_line(bare, line);
        if (record_.last != nullptr) {
            if (!read_record_field(line)) record_.last->append(line);
            return;
        }
        const std::optional<Heading> heading = std::exchange(heading_, std::nullopt);
        if (heading && read_heading_hex(*heading, line)) return;
        if (!bare) read_entry(line);
    }

    std::vector<ChecksumEntry> finish() {
        end_record();
        return list_.finish();
    }

private:
    // certutil's "TAG hash of name:", waiting for its hex on the next line.
    struct Heading {
        DigestKind kind;
        std::wstring name;
    };
    // One of Get-FileHash's list records, as far as it has come.
    struct Record {
        std::wstring algorithm;
        std::wstring hash;
        std::wstring path;
        // The value that the next line may continue.
        std::wstring* last = nullptr;
    };

    void read_entry(Line line) {
        if (read_tagged(line) || read_heading(line) || read_record_field(line) || read_table_row(line)) return;
        read_hex_then_name(line);
    }

    // "TAG (name) = hex" and "TAG(name)= hex". The hex holds no '=' nor ')', the name may.
    bool read_tagged(Line line) {
        const std::size_t open = line.find(L'(');
        if (open == Line::npos) return false;
        const std::optional<DigestKind> kind = named_kind(trimmed(line.substr(0, open)));
        if (!kind) return false;
        const std::size_t equals = line.rfind(L'=');
        if (equals == Line::npos || equals < open) return true;
        const Line bracketed = trimmed(line.substr(open + 1, equals - open - 1));
        if (!bracketed.empty() && bracketed.back() == L')')
            list_.add(bracketed.substr(0, bracketed.size() - 1), *kind, trimmed(line.substr(equals + 1)));
        return true;
    }

    // "SHA256 hash of name:", or on older Windows "SHA256 hash of file name:". A kind this
    // program does not know may pass: its hex, read alone, is no digest of a known length.
    bool read_heading(Line line) {
        const std::size_t of = find_ignoring_ascii_case(line, L" hash of ");
        if (of == Line::npos || line.back() != L':') return false;
        const std::optional<DigestKind> kind = named_kind(line.substr(0, of));
        if (!kind) return false;
        Line name = line.substr(of + 9, line.size() - of - 10);
        if (starts_with_ignoring_ascii_case(name, L"file ")) name.remove_prefix(5);
        heading_ = Heading{*kind, std::wstring(name)};
        return true;
    }

    // The hex under a heading, its byte pairs maybe apart; false when the line is none.
    bool read_heading_hex(const Heading& heading, Line line) {
        std::wstring hex(line);
        std::erase_if(hex, [](wchar_t c) { return c == L' ' || c == L'\t'; });
        if (!is_hex(hex)) return false;
        list_.add(heading.name, heading.kind, hex);
        return true;
    }

    bool read_record_field(Line line) {
        const std::size_t colon = line.find(L':');
        if (colon == Line::npos) return false;
        const Line key = trimmed(line.substr(0, colon));
        std::wstring* field = same_ignoring_ascii_case(key, L"Algorithm") ? &record_.algorithm
                              : same_ignoring_ascii_case(key, L"Hash")    ? &record_.hash
                              : same_ignoring_ascii_case(key, L"Path")    ? &record_.path
                                                                          : nullptr;
        if (field == nullptr) return false;
        if (field == &record_.algorithm) end_record();
        *field = trimmed(line.substr(colon + 1));
        record_.last = field;
        return true;
    }

    void end_record() {
        if (const std::optional<DigestKind> kind = named_kind(record_.algorithm))
            list_.add(record_.path, *kind, record_.hash);
        record_ = {};
    }

    // Get-FileHash's table: "SHA256  hex  path".
    bool read_table_row(Line line) {
        const auto [tag, rest] = first_word(line);
        const std::optional<DigestKind> kind = named_kind(tag);
        if (!kind) return false;
        const auto [hex, path] = first_word(rest);
        list_.add(path, *kind, hex);
        return true;
    }

    // "hex  name", "hex *name" and "hex name".
    void read_hex_then_name(Line line) {
        const std::size_t space = line.find(L' ');
        if (space == Line::npos) return;
        const std::optional<DigestKind> kind = hash_of_hex_length(space);
        if (!kind) return;
        Line name = line.substr(space + 1);
        if (!name.empty() && (name.front() == L' ' || name.front() == L'*')) name.remove_prefix(1);
        list_.add(name, *kind, line.substr(0, space));
    }

    EntryList list_;
    std::optional<Heading> heading_;
    Record record_;
};

}  // namespace

std::wstring_view last_name_component(std::wstring_view name) { return name.substr(name.find_last_of(L"/\\") + 1); }

std::wstring listed_folder(std::wstring_view listed_name) {
    return entry_folder(listed_name.substr(0, listed_name.size() - last_name_component(listed_name).size()));
}

std::vector<ChecksumEntry> parse_sfv_file(std::string_view bytes, std::wstring_view subject) {
    EntryList list(subject);
    for_each_line(checksum_file_text(bytes), [&list](Line line) { read_sfv_line(list, line); });
    return list.finish();
}

std::vector<ChecksumEntry> parse_sums_file(std::string_view bytes, std::wstring_view subject) {
    SumsReader reader(subject);
    for_each_line(checksum_file_text(bytes), [&reader](Line line) { reader.read(line); });
    return reader.finish();
}

std::vector<ChecksumEntry> parse_checksum_file(std::wstring_view file_name, std::string_view bytes,
                                               std::wstring_view subject) {
    return is_sfv_file_name(file_name) ? parse_sfv_file(bytes, subject) : parse_sums_file(bytes, subject);
}

}  // namespace mendlet
