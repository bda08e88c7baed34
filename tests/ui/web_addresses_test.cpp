#include "ui/web_addresses.h"

#include <gtest/gtest.h>

#include <string>

namespace mendlet {
namespace {

TEST(WebAddresses, KeptScrambledAndGivenBackWhole) {
    EXPECT_EQ(HELP_ADDRESS.unscrambled(), "https://tessvane.example/mendlet/help");
    EXPECT_EQ(WEB_PAGE_ADDRESS.unscrambled(), "https://tessvane.example/mendlet");
    EXPECT_EQ(CONTACT_ADDRESS.unscrambled(), "mailto:mendlet@tessvane.example");
    const std::string stored(HELP_ADDRESS.bytes.begin(), HELP_ADDRESS.bytes.end());
    EXPECT_EQ(stored.find("tessvane"), std::string::npos);
    EXPECT_EQ(stored.find("http"), std::string::npos);
}

}  // namespace
}  // namespace mendlet
