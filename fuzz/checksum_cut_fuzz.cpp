// A checksum file longer than what is read, cut after its last whole line. Input: one byte,
// the limit (0 to 255 bytes, so that short inputs are cut), then the file's first bytes.
//
// Properties: the bytes kept begin the file; a file no longer than the limit is kept whole;
// of a longer one, no more than the limit is kept, and what is kept ends where the last
// line end among the first limit + 1 bytes stands, or is empty when none stands there; the
// entries of what is kept, as SFV or as sums, are the first entries of the whole file.

#include <algorithm>

#include "checksum_fuzz.h"

namespace mendlet {
namespace {

bool is_line_end(char c) { return c == '\r' || c == '\n'; }

void check_first_entries(fuzz::ChecksumParser parse, std::string_view kept, std::string_view file) {
    const fuzz::Entries some = parse(kept);
    const fuzz::Entries all = parse(file);
    FUZZ_CHECK(some.size() <= all.size() && std::equal(some.begin(), some.end(), all.begin()));
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
    } else {
        const std::string_view read = file.substr(0, limit + 1);
        FUZZ_CHECK(kept.size() <= limit);
        FUZZ_CHECK(std::none_of(read.begin() + static_cast<std::ptrdiff_t>(kept.size()) + 1, read.end(), is_line_end));
        FUZZ_CHECK(is_line_end(read[kept.size()]) ||
                   (kept.empty() && std::none_of(read.begin(), read.end(), is_line_end)));
    }
    check_first_entries(parse_sfv_file, kept, file);
    check_first_entries(parse_sums_file, kept, file);
    return 0;
}
