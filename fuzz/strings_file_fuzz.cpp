// The StringsFile, which holds the custom output folder. Input: the file itself; the same
// bytes, taken as UTF-16 units up to the first NUL, are also a folder to write (and, for
// inputs whose length is a multiple of 8, repeated to about the most a record holds).
//
// Properties: a folder read from the file is never empty and holds no NUL (and, natively,
// only whole code points); written again it reads back the same; and any folder written
// reads back as itself, or for one too long for a record as its beginning.

#include <algorithm>

#include "core/text_encoding.h"
#include "fuzz_support.h"
#include "settings/settings_file.h"

namespace mendlet {
namespace {

// A record's count includes the closing NUL and stays below 0x8000.
constexpr std::size_t MOST_UNITS = 0x7FFE;

bool is_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; }

void check_read_folder(const std::wstring& folder) {
    FUZZ_CHECK(!folder.empty());
    FUZZ_CHECK(folder.find(L'\0') == std::wstring::npos);
    if (sizeof(wchar_t) == 4)
        FUZZ_CHECK(std::none_of(folder.begin(), folder.end(),
                                [](wchar_t c) { return is_surrogate(c) || static_cast<char32_t>(c) > 0x10FFFF; }));
    FUZZ_CHECK(to_utf16(folder).size() <= MOST_UNITS);
}

std::optional<std::wstring> written_and_read(const std::wstring& folder) {
    Settings settings;
    settings.custom_output_path = folder;
    const std::vector<std::uint8_t> bytes = encode_strings_file(settings);
    return decode_strings_file(bytes);
}

// A folder as the program holds it, written and read back.
void check_round_trip(const std::wstring& folder) {
    const std::optional<std::wstring> read = written_and_read(folder);
    if (folder.empty()) {
        FUZZ_CHECK(!read.has_value());
        return;
    }
    FUZZ_CHECK(read.has_value());
    check_read_folder(*read);
    const std::u16string units = to_utf16(folder);
    if (units.size() <= MOST_UNITS) {
        FUZZ_CHECK(*read == folder);
        return;
    }
    // Cut to what a record holds: the beginning, perhaps with half a surrogate pair at the end.
    const std::u16string kept = to_utf16(*read);
    FUZZ_CHECK(kept.size() == MOST_UNITS);
    FUZZ_CHECK(std::equal(kept.begin(), kept.end() - 1, units.begin()));
    FUZZ_CHECK(kept.back() == units[MOST_UNITS - 1] ||
               (kept.back() == 0xFFFD && units[MOST_UNITS - 1] >= 0xD800 && units[MOST_UNITS - 1] <= 0xDBFF));
}

}  // namespace
}  // namespace mendlet

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mendlet;
    const fuzz::Bytes file(data, size);

    const std::optional<std::wstring> folder = decode_strings_file(file);
    if (folder) {
        check_read_folder(*folder);
        FUZZ_CHECK(written_and_read(*folder) == folder);
    }

    // The bytes as a folder the user chose, as the program holds it (units natively made
    // whole code points); for an input whose length is a multiple of 8 (not every input, which
    // would be slow) also the same repeated to about the most a record holds.
    std::wstring units = fuzz::wide_units(file);
    units.resize(std::min(units.find(L'\0'), units.size()));
    std::u16string utf16(units.begin(), units.end());
    const std::wstring chosen = from_utf16(utf16);
    check_round_trip(chosen);
    if (!utf16.empty() && size % 8 == 0) {
        const std::size_t target = MOST_UNITS - 2 + size / 8 % 6;
        std::u16string long_units;
        while (long_units.size() < target) long_units += utf16;
        long_units.resize(target);
        check_round_trip(from_utf16(long_units));
    }
    return 0;
}
