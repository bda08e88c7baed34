#include "lang/text_format.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace mendlet {
namespace {

TEST(FormatText, FillsPlaceholdersInOrder) {
    EXPECT_EQ(format_text(L"Files added: %d", {std::int32_t{42}}), L"Files added: 42");
    EXPECT_EQ(format_text(L"%s (%s) is %u%%",
                          {std::wstring_view(L"2.5.0"), std::wstring_view(L"2015-06-01"), std::uint32_t{100}}),
              L"2.5.0 (2015-06-01) is 100%");
    EXPECT_EQ(format_text(L"%d|%u", {std::int32_t{-2147483647 - 1}, std::uint32_t{4294967295u}}),
              L"-2147483648|4294967295");
}

TEST(FormatText, NeverReadsBeyondItsArguments) {
    EXPECT_EQ(format_text(L"%s and %s and %d", {std::wstring_view(L"one")}), L"one and  and ");
    EXPECT_EQ(format_text(L"100%", {}), L"100%");
    EXPECT_EQ(format_text(L"%x %n %p %5d", {std::int32_t{1}}), L"%x %n %p %5d");
}

TEST(PlaceholderKinds, CountsOnlyRealPlaceholders) {
    EXPECT_EQ(placeholder_kinds(L"Path:\t %s\r\nSize:\t %s\r\nOrdinal:\t %d\r\nStatus:\t %s"), L"ssds");
    EXPECT_EQ(placeholder_kinds(L"100%% of %u"), L"u");
    EXPECT_EQ(placeholder_kinds(L"Ready"), L"");
    EXPECT_EQ(placeholder_kinds(L"50% done %"), L"");
}

}  // namespace
}  // namespace mendlet
