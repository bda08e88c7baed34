#include "core/shortened_path.h"

#include <gtest/gtest.h>

#include <string>

namespace mendlet {
namespace {

// Widths in characters: the drive or share and the whole file name stay while they fit,
// folders go from the middle; then the file name loses its middle, keeping its end.
TEST(ShortenedPath, KeepsTheRootAndTheNameWithItsNumber) {
    const std::wstring film = L"C:\\Users\\Anna\\Downloads\\Films\\A very long name of a film (2026).mkv.004";
    struct Case {
        std::wstring path;
        std::size_t width;
        std::wstring expected;
    };
    for (const Case& c : {
             Case{film, film.size(), film},
             Case{film, film.size() - 1,
                  L"C:\\\u2026\\Anna\\Downloads\\Films\\A very long name of a film (2026).mkv.004"},
             Case{film, 51, L"C:\\\u2026\\A very long name of a film (2026).mkv.004"},
             Case{film, 45, L"C:\\\u2026\\A very long\u2026ame of a film (2026).mkv.004"},
             Case{film, 30, L"C:\\\u2026\\A ve\u2026 film (2026).mkv.004"},
             Case{film, 14, L"C:\\\u2026\\\u2026.mkv.004"},
             Case{film, 3, L"C:\\\u2026\\\u2026"},
             Case{L"\\\\server\\share\\backups\\disk.img.012", 30, L"\\\\server\\share\\\u2026\\disk.img.012"},
             Case{L"C:\\a very long name.bin.001", 20, L"C:\\\u2026ong name.bin.001"},
             Case{L"relative\\name.001", 12, L"\u2026\\name.001"},
         }) {
        const std::wstring shown =
            shortened_path(c.path, [&](std::wstring_view text) { return text.size() <= c.width; });
        EXPECT_EQ(shown, c.expected) << c.width;
    }
}

}  // namespace
}  // namespace mendlet
