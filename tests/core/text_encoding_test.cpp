#include "core/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace mendlet {
namespace {

TEST(DecodeUtf8, EveryLengthOfCharacter) {
    EXPECT_EQ(decode_utf8(""), std::wstring());
    EXPECT_EQ(decode_utf8("x.001"), L"x.001");
    // Two, three and four bytes: a-umlaut, a CJK character and U+1F3AC (two units on Windows).
    EXPECT_EQ(decode_utf8("\xc3\xa4 \xe6\x97\xa5 \xf0\x9f\x8e\xac"), L"\u00e4 \u65e5 \U0001F3AC");
    EXPECT_EQ(decode_utf8("\xf4\x8f\xbf\xbf"), L"\U0010FFFF");
    EXPECT_EQ(decode_utf8(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(DecodeUtf8, AnythingElseIsNoText) {
    for (const char* bytes : {
             "\xe4",                  // Latin-1, as old Windows programs write
             "a\x80",                 // a continuation byte alone
             "\xc3",                  // cut short at the end
             "\xe6\x97",              // cut short at the end
             "\xc3\x41",              // cut short by another character, A
             "\xc0\xae",              // '.' in two bytes
             "\xe0\x80\xae",          // '.' in three bytes
             "\xf0\x80\x80\xae",      // '.' in four bytes
             "\xed\xa0\x80",          // a surrogate
             "\xf4\x90\x80\x80",      // beyond U+10FFFF
             "\xf8\x88\x80\x80\x80",  // five bytes
             "\xff",
         })
        EXPECT_EQ(decode_utf8(bytes), std::nullopt) << testing::PrintToString(std::string(bytes));
}

}  // namespace
}  // namespace mendlet
