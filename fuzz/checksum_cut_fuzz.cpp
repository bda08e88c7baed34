// A checksum file longer than what is read, cut after its last whole line. Input: one byte,
// the limit (0 to 255 bytes, so that short inputs are cut), then the file's first bytes.
//
// Properties: the bytes kept begin the file; a file no longer than the limit is kept whole;
// of a longer one, no more than the limit is kept, and what is kept ends where the last
// line end among the first limit + 1 bytes stands (in a UTF-16 file: the last whole unit
// that is one, at an even offset), or is empty when none stands there. Lines end at CR and
// LF, or where those bytes hold a NUL, at NUL: then what is kept ends with the last NUL
// among the first limit bytes. The entries of what is kept, of a file read the same way
// whole or cut (not one whose bytes are no UTF-8 and read in the ANSI code page, nor one
// that holds a NUL only beyond the cut), are the first entries of the whole file, as SFV; as
// sums, but for the last, which a record cut short may have changed.

#include <algorithm>

#include "checksum/checksum_text.h"
#include "checksum_fuzz.h"

namespace mendlet {
namespace {

// The text's units as the cut sees them: bytes, or UTF-16 units after the mark.
std::u16string units_of(std::string_view bytes, bool utf16, bool little_endian) {
    std::u16string units;
    if (!utf16) {
        for (const char c : bytes) units += static_cast<char16_t>(static_cast<unsigned char>(c));
        return units;
    }
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        units += static_cast<char16_t>(little_endian ? first | (second << 8) : (first << 8) | second);
    }
    return units;
}

std::u16string units_of(std::string_view bytes, std::string_view file) {
    return units_of(bytes, fuzz::is_utf16(file), file.substr(0, 2) == "\xFF\xFE");
}

bool holds_nul(const std::u16string& units) { return units.find(u'\0') != std::u16string::npos; }

void check_cut(std::string_view file, std::size_t limit, std::string_view kept) {
    const bool utf16 = fuzz::is_utf16(file);
    const std::size_t start = utf16 ? 2 : 0;
    const std::size_t unit = utf16 ? 2 : 1;
    const bool nul_ended = holds_nul(units_of(file.substr(0, limit + 1), file));
    const auto is_line_end = [nul_ended](char16_t c) { return nul_ended ? c == u'\0' : c == u'\r' || c == u'\n'; };
    // The NUL is kept, so it has to stand within the limit; CR and LF may stand just beyond.
    const std::u16string read = units_of(file.substr(0, nul_ended ? limit : limit + 1), file);
    FUZZ_CHECK(kept.size() <= limit);
    if (kept.empty() && std::none_of(read.begin(), read.end(), is_line_end)) return;
    FUZZ_CHECK(kept.size() >= start && (kept.size() - start) % unit == 0);
    const std::size_t at = (kept.size() - start) / unit - (nul_ended ? 1 : 0);
    FUZZ_CHECK(at < read.size() && is_line_end(read[at]));
    FUZZ_CHECK(std::none_of(read.begin() + static_cast<std::ptrdiff_t>(at) + 1, read.end(), is_line_end));
}

void check_first_entries(std::string_view kept, std::string_view file) {
    if (!fuzz::is_utf16(file) && !decode_utf8(file)) return;
    if (holds_nul(units_of(kept, file)) != holds_nul(units_of(file, file))) return;
    const fuzz::Entries some_sfv = parse_sfv_file(kept);
    const fuzz::Entries all_sfv = parse_sfv_file(file);
    FUZZ_CHECK(some_sfv.size() <= all_sfv.size() && std::equal(some_sfv.begin(), some_sfv.end(), all_sfv.begin()));
    fuzz::Entries some_sums = parse_sums_file(kept);
    if (!some_sums.empty()) some_sums.pop_back();
    const fuzz::Entries all_sums = parse_sums_file(file);
    FUZZ_CHECK(some_sums.size() <= all_sums.size() &&
               std::equal(some_sums.begin(), some_sums.end(), all_sums.begin()));
}

}  // namespace
}  // namespace mendlet

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mendlet;
    if (size == 0) return 0;
    const std::size_t limit = data[0];
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string_view kept = whole_lines_within(file, limit);

    FUZZ_CHECK(kept.data() == file.data() && kept.size() <= file.size());
    if (file.size() <= limit) {
        FUZZ_CHECK(kept.size() == file.size());
        return 0;
    }
    check_cut(file, limit, kept);
    check_first_entries(kept, file);
    return 0;
}
