#include "join/status_line.h"

#include <gtest/gtest.h>

#include <string>

#include "lang/text_table.h"

namespace mendlet {
namespace {

class FakeStatusDisplay : public StatusDisplay {
public:
    void set_status_text(std::wstring_view new_text) override { text = new_text; }
    std::uintptr_t start_status_timer() override {
        ++starts;
        running = true;
        return STATUS_TIMER_ID;
    }
    void stop_status_timer() override { running = false; }

    std::wstring text;
    int starts = 0;
    bool running = false;
};

class StatusLineTest : public ::testing::Test {
protected:
    // Ticks until the text falls back; the number of ticks it took.
    int ticks_until_fallback() {
        for (int ticks = 1; ticks <= 100; ++ticks) {
            status.status_tick();
            if (!display.running) return ticks;
        }
        return -1;
    }

    FakeStatusDisplay display;
    TextTable texts;
    std::atomic<bool> join_running{false};
    StatusLine status{display, texts, join_running};
};

TEST_F(StatusLineTest, TimedMessageFallsBackToReadyAfterFiveTicks) {
    status.show_status(L"File cannot be opened!", COLOUR_ERROR, true);
    EXPECT_EQ(display.text, L"File cannot be opened!");
    EXPECT_EQ(status.status_colour(), COLOUR_ERROR);
    EXPECT_EQ(status.status_timer(), STATUS_TIMER_ID);
    EXPECT_TRUE(display.running);
    EXPECT_EQ(ticks_until_fallback(), 5);
    EXPECT_EQ(display.text, L"Ready");
    EXPECT_EQ(status.status_colour(), COLOUR_NORMAL);
    EXPECT_EQ(status.status_timer(), 0u);
}

TEST_F(StatusLineTest, TimedMessageDuringAJoinFallsBackToJoining) {
    join_running = true;
    status.show_busy();
    EXPECT_EQ(display.text, L"Join operation is in progress!");
    EXPECT_EQ(status.status_colour(), COLOUR_ERROR);
    EXPECT_EQ(ticks_until_fallback(), 5);
    EXPECT_EQ(display.text, L"Joining...");
    EXPECT_EQ(status.status_colour(), COLOUR_NORMAL);
}

TEST_F(StatusLineTest, ASecondTimedMessageRestartsTheCountdownButNotTheTimer) {
    status.show_status(L"first", COLOUR_INFO, true);
    status.status_tick();
    status.status_tick();
    status.show_status(L"second", COLOUR_ERROR, true);
    EXPECT_EQ(display.starts, 1);
    EXPECT_EQ(status.status_countdown(), STATUS_COUNTDOWN_TICKS);
    EXPECT_EQ(ticks_until_fallback(), 5);
    EXPECT_EQ(display.starts, 1);
}

TEST_F(StatusLineTest, PersistentMessageStaysUntilReset) {
    status.show_status(L"timed", COLOUR_ERROR, true);
    status.show_status(L"Files joined successfully!", COLOUR_INFO, false);
    EXPECT_FALSE(display.running);
    EXPECT_EQ(status.status_timer(), 0u);
    EXPECT_TRUE(status.status_persistent());
    EXPECT_EQ(display.text, L"Files joined successfully!");
    EXPECT_EQ(status.status_colour(), COLOUR_INFO);
    status.reset_status();
    EXPECT_FALSE(status.status_persistent());
    EXPECT_EQ(display.text, L"Ready");
    EXPECT_EQ(status.status_colour(), COLOUR_NORMAL);
}

TEST_F(StatusLineTest, TimedMessageReplacesAPersistentOneAndFallsBack) {
    status.show_status(L"Files joined successfully!", COLOUR_INFO, false);
    status.show_status(L"Files added: 3", COLOUR_INFO, true);
    EXPECT_FALSE(status.status_persistent());
    EXPECT_EQ(ticks_until_fallback(), 5);
    EXPECT_EQ(display.text, L"Ready");
}

TEST_F(StatusLineTest, TextOnlyWritesLeaveTheRestAlone) {
    status.show_status(L"refused", COLOUR_ERROR, true);
    status.set_text_only(L"Joining...");
    EXPECT_EQ(display.text, L"Joining...");
    EXPECT_EQ(status.status_colour(), COLOUR_ERROR);
    EXPECT_EQ(status.status_countdown(), STATUS_COUNTDOWN_TICKS);
    EXPECT_TRUE(display.running);
}

TEST_F(StatusLineTest, ResetUsesTheCurrentLanguage) {
    texts.messages.entries()[3].set_translation(L"Bereit");
    status.reset_status();
    EXPECT_EQ(display.text, L"Bereit");
}

}  // namespace
}  // namespace mendlet
