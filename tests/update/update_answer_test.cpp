#include "update/update_answer.h"

#include <gtest/gtest.h>

namespace mendlet {
namespace {

constexpr wchar_t PAGE[] = L"https://tessvane.example/mendlet/download";

TEST(UpdateAnswer, OnlyTheFirstCharacterOfUpdateCountsAndAnOfferNeedsAllThree) {
    EXPECT_EQ(judge_update_answer({L"", L"2.5.0", PAGE, L"2015-06-01"}), UpdateOutcome::failed);
    EXPECT_EQ(judge_update_answer({L"0", L"", L"", L""}), UpdateOutcome::up_to_date);
    EXPECT_EQ(judge_update_answer({L"n", L"2.5.0", PAGE, L"2015-06-01"}), UpdateOutcome::up_to_date);
    EXPECT_EQ(judge_update_answer({L"1", L"2.5.0", PAGE, L"2015-06-01"}), UpdateOutcome::newer);
    EXPECT_EQ(judge_update_answer({L"10", L"2.5.0", PAGE, L"2015-06-01"}), UpdateOutcome::newer);
    EXPECT_EQ(judge_update_answer({L"1", L"", PAGE, L"2015-06-01"}), UpdateOutcome::failed);
    EXPECT_EQ(judge_update_answer({L"1", L"2.5.0", L"", L"2015-06-01"}), UpdateOutcome::failed);
    EXPECT_EQ(judge_update_answer({L"1", L"2.5.0", PAGE, L""}), UpdateOutcome::failed);
    EXPECT_EQ(judge_update_answer({L"1", L"2.5.0", L"C:\\Windows\\notepad.exe", L"2015-06-01"}),
              UpdateOutcome::failed);
}

TEST(UpdateAnswer, OnlyWebAddressesAreOpened) {
    EXPECT_TRUE(is_web_address(L"http://tessvane.example/"));
    EXPECT_TRUE(is_web_address(L"HTTPS://tessvane.example/get?file=mendlet 2.5.zip"));
    for (const wchar_t* address : {L"", L"https://", L"http:", L"ftp://tessvane.example/", L"file:///C:/x.exe",
                                   L"javascript:alert(1)", L"C:\\Windows\\System32\\calc.exe", L"\\\\server\\share\\x",
                                   L"mendlet.exe", L" https://tessvane.example/", L"https://tessvane.example/\r\nx",
                                   L"httpx://tessvane.example/"}) {
        SCOPED_TRACE(address);
        EXPECT_FALSE(is_web_address(address));
    }
}

TEST(UpdateAnswer, TheRequestGoesToTheServersPath) {
    EXPECT_EQ(update_request_address(L"http://127.0.0.1:8080"),
              L"http://127.0.0.1:8080/update/api-v01/software/mendlet/64bit-2.4.0");
    EXPECT_EQ(update_request_address(L"https://update.tessvane.example/"),
              L"https://update.tessvane.example/update/api-v01/software/mendlet/64bit-2.4.0");
}

}  // namespace
}  // namespace mendlet
