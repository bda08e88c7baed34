#include "core/path_compare.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace mendlet {
namespace {

int sign(int value) { return (value > 0) - (value < 0); }

// Run natively against the stand-in and under Windows against the system.
TEST(CompareNamesIgnoringCase, CaseDoesNotCountInAnyScript) {
    const std::pair<std::wstring_view, std::wstring_view> same[] = {
        {L"Movie.AVI.sfv", L"movie.avi.SFV"},
        {L"\u00c4rger \u00d6l.md5", L"\u00e4rger \u00f6l.MD5"},
        {L"\u0391\u03b2\u03b3.001", L"\u03b1\u0392\u0393.001"},
        {L"\u0416\u0443\u043a \u0401\u0436.001", L"\u0436\u0423\u041a \u0451\u0416.001"},
        {L"", std::wstring_view()},
    };
    for (const auto& [a, b] : same) {
        EXPECT_EQ(compare_names_ignoring_case(a, b), 0);
        EXPECT_EQ(compare_names_ignoring_case(b, a), 0);
    }
}

TEST(CompareNamesIgnoringCase, EveryOtherDifferenceCountsBothWays) {
    using namespace std::string_view_literals;
    const std::pair<std::wstring_view, std::wstring_view> different[] = {
        {L"x.001", L"x.002"},      {L"x.001", L"x.001 "}, {L"x.001", L"x.001\0.002"sv},
        {L"a.001", L"\u00e4.001"}, {L"x", L""},
    };
    for (const auto& [a, b] : different) {
        const int order = sign(compare_names_ignoring_case(a, b));
        EXPECT_NE(order, 0);
        EXPECT_EQ(sign(compare_names_ignoring_case(b, a)), -order);
    }
    // Shorter first, as a dictionary has it.
    EXPECT_LT(compare_names_ignoring_case(L"x.001", L"X.001.sfv"), 0);
}

}  // namespace
}  // namespace mendlet
