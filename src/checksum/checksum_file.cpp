#include "checksum/checksum_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "checksum/checksum_names.h"
#include "checksum/checksum_text.h"

namespace mendlet {

namespace {

using Line = std::wstring_view;

// The searches below look at each character once: the standard finders of "any of these
// characters" ask a library function per character, the most of the time a file of many
// lines takes to read.
bool is_blank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The first position at or after from whose character fits; the text's size when none does.
template <typename Fits>
std::size_t first_where(Line text, Fits fits, std::size_t from = 0) {
    while (from < text.size() && !fits(text[from])) ++from;
    return from;
}

// The last position whose character fits; npos when none does.
template <typename Fits>
std::size_t last_where(Line text, Fits fits) {
    for (std::size_t at = text.size(); at > 0; --at)
        if (fits(text[at - 1])) return at - 1;
    return Line::npos;
}

Line trimmed(Line text) {
    const std::size_t start = first_where(text, [](wchar_t c) { return !is_blank(c); });
    std::size_t end = text.size();
    while (end > start && is_blank(text[end - 1])) --end;
    return text.substr(start, end - start);
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

bool is_hex_digit(wchar_t c) {
    const auto code = static_cast<std::uint32_t>(c);
    return code - L'0' < 10u || (code | 0x20u) - L'a' < 6u;
}

// Every character is looked at, without a branch for each: digits and letters come at
// random in a digest, and branches that guessed wrong half of the time made this check a
// tenth of the time a file took to read.
bool is_hex(Line text) {
    unsigned not_hex = text.empty() ? 1 : 0;
    for (const wchar_t c : text) not_hex |= is_hex_digit(c) ? 0 : 1;
    return not_hex == 0;
}

// The first word and what follows it, trimmed; the word is the whole line when it has no blank.
std::pair<Line, Line> first_word(Line line) {
    const std::size_t blank = first_where(line, is_blank);
    return {line.substr(0, blank), trimmed(line.substr(blank))};
}

// The digests that tools name: BSD tags and OpenSSL's, certutil's and Get-FileHash's words.
// A name of another digest (SHA384, SHA3-256, BLAKE2b-256) is none of these.
std::optional<DigestKind> named_kind(Line tag) {
    struct Name {
        Line tag;
        DigestKind kind;
    };
    static constexpr std::array<Name, 13> NAMES{{{L"CRC32", DigestKind::crc32},
                                                 {L"MD5", DigestKind::md5},
                                                 {L"SHA1", DigestKind::sha1},
                                                 {L"SHA-1", DigestKind::sha1},
                                                 {L"SHA256", DigestKind::sha256},
                                                 {L"SHA-256", DigestKind::sha256},
                                                 {L"SHA2-256", DigestKind::sha256},
                                                 {L"SHA512", DigestKind::sha512},
                                                 {L"SHA-512", DigestKind::sha512},
                                                 {L"SHA2-512", DigestKind::sha512},
                                                 {L"BLAKE2b", DigestKind::blake2b},
                                                 {L"BLAKE2b-512", DigestKind::blake2b},
                                                 {L"BLAKE3", DigestKind::blake3}}};
    for (const Name& name : NAMES)
        if (same_ignoring_ascii_case(tag, name.tag)) return name.kind;
    return std::nullopt;
}

// The digest in lower-case hex, when it is the kind's hex in either case; none otherwise.
std::optional<std::string> hex_digest(DigestKind kind, Line digest) {
    if (digest.size() != digest_hex_length(kind) || !is_hex(digest)) return std::nullopt;
    std::optional<std::string> hex(std::in_place, digest.size(), '\0');
    // Digits have the lower-case bit already.
    std::transform(digest.begin(), digest.end(), hex->begin(), [](wchar_t c) { return static_cast<char>(c | 0x20); });
    return hex;
}

int base64_value(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return c - L'A';
    if (c >= L'a' && c <= L'z') return c - L'a' + 26;
    if (c >= L'0' && c <= L'9') return c - L'0' + 52;
    return c == L'+' ? 62 : c == L'/' ? 63 : -1;
}

// The digest in lower-case hex, when it is the kind's base64 (RFC 4648) with its '=' padding,
// as cksum --base64 and rhash --base64 write it; none otherwise, and for a text that another
// encoder would not write (bits beyond the digest's set), lest two texts read as one digest.
std::optional<std::string> base64_digest(DigestKind kind, Line digest) {
    const std::size_t bytes = digest_hex_length(kind) / 2;
    const std::size_t padding = (3 - bytes % 3) % 3;
    if (digest.size() != (bytes + padding) / 3 * 4 || digest.substr(digest.size() - padding) != Line(L"==", padding))
        return std::nullopt;
    constexpr char HEX_DIGITS[] = "0123456789abcdef";
    std::string hex;
    unsigned bits = 0;
    int bit_count = 0;
    for (const wchar_t c : digest.substr(0, digest.size() - padding)) {
        const int value = base64_value(c);
        if (value < 0) return std::nullopt;
        bits = ((bits << 6) | static_cast<unsigned>(value)) & 0xFFF;
        bit_count += 6;
        if (bit_count < 8) continue;
        bit_count -= 8;
        hex += HEX_DIGITS[(bits >> (bit_count + 4)) & 0xF];
        hex += HEX_DIGITS[(bits >> bit_count) & 0xF];
    }
    if ((bits & ((1u << bit_count) - 1)) != 0) return std::nullopt;
    return hex;
}

// Where tools write base64 too (coreutils', BSD's and rhash's lines), either.
std::optional<std::string> hex_or_base64_digest(DigestKind kind, Line digest) {
    if (std::optional<std::string> hex = hex_digest(kind, digest)) return hex;
    return base64_digest(kind, digest);
}

// The hash that a digest's length gives, in hex or base64, where nothing says its kind.
std::optional<DigestKind> kind_by_length(Line digest) {
    for (const DigestKind kind : DIGEST_KINDS)
        if (hash_of_hex_length(digest_hex_length(kind)) == kind && hex_or_base64_digest(kind, digest)) return kind;
    return std::nullopt;
}

// The text with coreutils' escapes undone ("\\" a backslash, "\n" a line feed, "\r" a
// carriage return); none when it holds another escape or ends in a lone backslash, a line
// that coreutils reads no entry from either.
std::optional<std::wstring> unescaped(Line text) {
    constexpr Line ESCAPES = L"\\nr";
    constexpr Line ESCAPED = L"\\\n\r";
    std::wstring plain;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != L'\\') {
            plain += text[at];
            continue;
        }
        const std::size_t escape = ++at < text.size() ? ESCAPES.find(text[at]) : Line::npos;
        if (escape == Line::npos) return std::nullopt;
        plain += ESCAPED[escape];
    }
    return plain;
}

// Every character is looked at, without a branch for each, as in is_hex.
bool holds_control_character(Line text) {
    bool control = false;
    for (const wchar_t c : text) control |= c < L' ';
    return control;
}

// The folders of a listed path before its name, with '\\' between them and without leading
// "." steps: "./CD1/x" is listed in CD1, ".\x" beside the checksum file.
std::wstring entry_folder(Line listed) {
    const auto separator = [](wchar_t c) { return c == L'/' || c == L'\\'; };
    while (listed.size() >= 2 && listed[0] == L'.' && separator(listed[1])) listed.remove_prefix(2);
    while (!listed.empty() && separator(listed.back())) listed.remove_suffix(1);
    if (listed.empty() || (listed.size() == 1 && listed[0] == L'.')) return {};
    std::wstring folder(listed);
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    return folder;
}

// Hands each line of a file's text to take_line as it stands, blanks and all; empty lines
// too, since they end Get-FileHash's records. A line ends at CR LF, CR or LF, or at NUL
// (line_ends_of).
template <typename TakeLine>
void for_each_line(std::string_view bytes, TakeLine take_line) {
    for_each_text_piece(bytes, [&take_line](Line text, Line ends, bool last) {
        while (true) {
            const std::size_t end = first_where(text, [ends](wchar_t c) { return c == ends[0] || c == ends.back(); });
            // A piece before the last ends with a line end, after which nothing is left.
            if (end == text.size() && !last) return;
            take_line(text.substr(0, end));
            if (end == text.size()) return;
            const bool cr_lf = text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n';
            text.remove_prefix(end + (cr_lf ? 2 : 1));
        }
    });
}

// What the readers of both formats share: the entries, and the one bare digest that a file
// named after its subject may hold.
class EntryList {
public:
    // Room is made for an entry on each line of the file, so that the list of a long file is
    // not moved again and again as it grows; but no more than its bytes can hold. Lines that
    // end at LF are counted, in any encoding; a file whose lines end at CR alone or at NUL
    // grows its list as it goes.
    EntryList(Line subject, std::string_view bytes) : subject_(subject) {
        const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
        entries_.reserve(std::min(lines, bytes.size() / SHORTEST_ENTRY_LINE + 1));
    }

    // Adds the entry, if the name and the digest (none when it was not one) make one: a
    // name that is empty or holds a control character, which no Windows file name holds,
    // makes none. The entry is made in its place, a file's entries being many.
    void add(Line listed_name, DigestKind kind, std::optional<std::string> hex) {
        const Line listed = trimmed(listed_name);
        const Line name = trimmed(last_name_component(listed));
        if (!hex || name.empty() || holds_control_character(listed)) return;
        ChecksumEntry& entry = entries_.emplace_back();
        entry.name = shared(name);
        entry.kind = kind;
        entry.hex = std::move(*hex);
        entry.folder = shared(entry_folder(listed.substr(0, listed.size() - name.size())));
    }

    // Each line that is neither blank nor a comment; kind: that of the line's bare digest.
    void count_line(std::optional<DigestKind> kind, Line hex) {
        ++lines_;
        if (kind) bare_ = {*kind, std::wstring(hex)};
    }

    std::vector<ChecksumEntry> finish() {
        if (lines_ == 1 && bare_ && !subject_.empty())
            add(subject_, bare_->first, hex_digest(bare_->first, bare_->second));
        return std::move(entries_);
    }

private:
    // "x 1a2b3c4d" and its line end.
    static constexpr std::size_t SHORTEST_ENTRY_LINE = 11;

    // The text, made once for the entries that list it while it stays at hand.
    SharedText shared(Line text) {
        if (text.empty()) return {};
        SharedText& kept = at_hand_[listed_name_hash(text) % at_hand_.size()];
        if (Line(kept) != text) kept = SharedText(text);
        return kept;
    }

    Line subject_;
    std::vector<ChecksumEntry> entries_;
    std::array<SharedText, 256> at_hand_;
    std::size_t lines_ = 0;
    std::optional<std::pair<DigestKind, std::wstring>> bare_;
};

void read_sfv_line(EntryList& list, Line line) {
    line = trimmed(line);
    if (line.empty() || line.front() == L';') return;
    const std::size_t blank = last_where(line, is_blank);
    const bool bare = blank == Line::npos && hex_digest(DigestKind::crc32, line);
    list.count_line(bare ? std::optional(DigestKind::crc32) : std::nullopt, line);
    if (blank != Line::npos)
        list.add(line.substr(0, blank), DigestKind::crc32,
                 hex_or_base64_digest(DigestKind::crc32, line.substr(blank + 1)));
}

// The lines of every other checksum file. certutil's and Get-FileHash's lists take more than
// one line for an entry, so their state lives from one line to the next.
class SumsReader {
public:
    SumsReader(Line subject, std::optional<DigestKind> declared, std::string_view bytes)
        : list_(subject, bytes), declared_(declared) {}

    void read(Line whole_line) {
        const Line line = trimmed(whole_line);
        if (line.empty()) return end_record();
        if (is_comment(line)) return;
        const std::optional<DigestKind> bare = is_hex(line) ? untagged_kind(line) : std::nullopt;
        list_.count_line(bare, line);
        if (record_.last != nullptr && read_in_record(whole_line, line)) return;
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

    // "//" starts a comment, and also the base64 of a digest whose first twelve bits are ones.
    bool is_comment(Line line) const {
        if (line.front() == L'#') return true;
        return line.substr(0, 2) == L"//" && !untagged_kind(line.substr(0, first_where(line, is_blank)));
    }

    // The kind of an untagged line's digest: the one the file's name declares, or where it
    // declares none, the one its length gives; none when the digest is not of that kind.
    std::optional<DigestKind> untagged_kind(Line digest) const {
        if (!declared_) return kind_by_length(digest);
        return hex_or_base64_digest(*declared_, digest) ? declared_ : std::nullopt;
    }

    void read_entry(Line line) {
        if (line.front() == L'\\') return read_escaped(line.substr(1));
        if (read_tagged(line) || read_heading(line) || read_record_field(line) || read_table_row(line)) return;
        read_hex_then_name(line);
    }

    // coreutils' lines for a name with a backslash or a line break, "\hex  name" and
    // "\TAG (name) = hex", its name escaped.
    void read_escaped(Line line) {
        const std::optional<std::wstring> plain = unescaped(line);
        if (plain && !read_tagged(*plain)) read_hex_then_name(*plain);
    }

    // "TAG (name) = digest" and "TAG(name)= digest". The digest holds no ')', the name may.
    bool read_tagged(Line line) {
        const std::size_t open = line.find(L'(');
        if (open == Line::npos) return false;
        const std::optional<DigestKind> kind = named_kind(trimmed(line.substr(0, open)));
        if (!kind) return false;
        const std::size_t close = line.rfind(L')');
        const Line after = close == Line::npos || close < open ? Line() : trimmed(line.substr(close + 1));
        if (after.starts_with(L'='))
            list_.add(line.substr(open + 1, close - open - 1), *kind,
                      hex_or_base64_digest(*kind, trimmed(after.substr(1))));
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
        list_.add(heading.name, heading.kind, hex_digest(heading.kind, hex));
        return true;
    }

    // A line of an open record: a field, or the last value continued, which PowerShell
    // indents. Any other line ends the record, and is read as one of its own.
    bool read_in_record(Line whole_line, Line line) {
        if (read_record_field(line)) return true;
        if (whole_line.front() == L' ' || whole_line.front() == L'\t') {
            record_.last->append(line);
            return true;
        }
        end_record();
        return false;
    }

    // "Algorithm : TAG" opens a record; "Hash : hex" and "Path : path" belong to an open one.
    bool read_record_field(Line line) {
        const std::size_t colon = line.find(L':');
        if (colon == Line::npos) return false;
        const Line key = trimmed(line.substr(0, colon));
        std::wstring* field = same_ignoring_ascii_case(key, L"Algorithm") ? &record_.algorithm
                              : same_ignoring_ascii_case(key, L"Hash")    ? &record_.hash
                              : same_ignoring_ascii_case(key, L"Path")    ? &record_.path
                                                                          : nullptr;
        if (field == nullptr || (field != &record_.algorithm && record_.last == nullptr)) return false;
        if (field == &record_.algorithm) end_record();
        *field = trimmed(line.substr(colon + 1));
        record_.last = field;
        return true;
    }

    void end_record() {
        if (const std::optional<DigestKind> kind = named_kind(record_.algorithm))
            list_.add(record_.path, *kind, hex_digest(*kind, record_.hash));
        record_ = {};
    }

    // Get-FileHash's table: "SHA256  hex  path".
    bool read_table_row(Line line) {
        const auto [tag, rest] = first_word(line);
        const std::optional<DigestKind> kind = named_kind(tag);
        if (!kind) return false;
        const auto [hex, path] = first_word(rest);
        list_.add(path, *kind, hex_digest(*kind, hex));
        return true;
    }

    // "digest  name", "digest *name" and "digest name", or a tab after the digest.
    void read_hex_then_name(Line line) {
        const std::size_t blank = first_where(line, is_blank);
        if (blank == line.size()) return;
        const Line digest = line.substr(0, blank);
        const std::optional<DigestKind> kind = untagged_kind(digest);
        if (!kind) return;
        Line name = line.substr(blank + 1);
        if (!name.empty() && (name.front() == L' ' || name.front() == L'*')) name.remove_prefix(1);
        list_.add(name, *kind, hex_or_base64_digest(*kind, digest));
    }

    EntryList list_;
    std::optional<DigestKind> declared_;
    std::optional<Heading> heading_;
    Record record_;
};

}  // namespace

std::wstring_view last_name_component(std::wstring_view name) {
    return name.substr(last_where(name, [](wchar_t c) { return c == L'/' || c == L'\\'; }) + 1);
}

std::size_t listed_name_hash(std::wstring_view name) {
    std::size_t hash = name.size();
    for (const wchar_t c : name.substr(name.size() - std::min<std::size_t>(name.size(), 4)))
        hash = hash * 31 + static_cast<std::size_t>(c);
    return hash;
}

std::wstring listed_folder(std::wstring_view listed_name) {
    return entry_folder(listed_name.substr(0, listed_name.size() - last_name_component(listed_name).size()));
}

std::vector<ChecksumEntry> parse_sfv_file(std::string_view bytes, std::wstring_view subject) {
    EntryList list(subject, bytes);
    for_each_line(bytes, [&list](Line line) { read_sfv_line(list, line); });
    return list.finish();
}

std::vector<ChecksumEntry> parse_sums_file(std::string_view bytes, std::wstring_view subject,
                                           std::optional<DigestKind> declared) {
    SumsReader reader(subject, declared, bytes);
    for_each_line(bytes, [&reader](Line line) { reader.read(line); });
    return reader.finish();
}

std::vector<ChecksumEntry> parse_checksum_file(std::wstring_view file_name, std::string_view bytes,
                                               std::wstring_view subject) {
    return is_sfv_file_name(file_name) ? parse_sfv_file(bytes, subject)
                                       : parse_sums_file(bytes, subject, declared_kind(file_name));
}

}  // namespace mendlet
