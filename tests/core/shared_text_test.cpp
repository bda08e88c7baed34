#include "core/shared_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace mendlet {
namespace {

TEST(SharedText, CopiesShareOneTextThatOutlivesTheOriginal) {
    std::optional<SharedText> original(std::in_place, std::wstring(L"movie.avi.001"));
    const SharedText copy = *original;
    EXPECT_EQ(std::wstring_view(copy).data(), std::wstring_view(*original).data());
    original.reset();
    EXPECT_EQ(copy, L"movie.avi.001");
}

TEST(SharedText, AssignedOrMovedTextsKeepTheirOwn) {
    SharedText first(L"x.001");
    SharedText second(L"y.002");
    first = second;
    second = SharedText(L"z.003");
    const SharedText moved = std::move(first);
    EXPECT_EQ(moved, L"y.002");
    EXPECT_EQ(second, L"z.003");
}

TEST(SharedText, ComparesByTextEveryCharacterCounting) {
    EXPECT_EQ(SharedText(L"a.001"), SharedText(std::wstring(L"a.001")));
    EXPECT_NE(SharedText(L"a.001"), SharedText(L"A.001"));
    EXPECT_NE(SharedText(L"a.001"), SharedText(L"a.0011"));
    EXPECT_EQ(SharedText(std::wstring_view(L"a\0b", 3)), std::wstring_view(L"a\0b", 3));
    EXPECT_TRUE(SharedText(L"").empty());
    EXPECT_EQ(SharedText(), L"");
}

}  // namespace
}  // namespace mendlet
