#pragma once
// The one-line message area under the list: timed messages fall back to "Ready" (or
// "Joining..." during a join) after five ticks of a single 500 ms timer; persistent ones
// stay until the next change of the list or of the output path.

#include <atomic>
#include <cstdint>
#include <string_view>

namespace mendlet {

struct TextTable;

// A colour as the window system takes it: 0x00BBGGRR.
using Colour = std::uint32_t;
inline constexpr Colour COLOUR_NORMAL = 0x000000;
inline constexpr Colour COLOUR_ERROR = 0x0000FF;
inline constexpr Colour COLOUR_INFO = 0xFF0000;

inline constexpr unsigned STATUS_TIMER_ID = 1;
inline constexpr unsigned STATUS_TIMER_PERIOD_MS = 500;
inline constexpr int STATUS_COUNTDOWN_TICKS = 5;

// What the status line needs from the window: its text and timer 1.
class StatusDisplay {
public:
    virtual ~StatusDisplay() = default;
    virtual void set_status_text(std::wstring_view text) = 0;
    // Starts the periodic timer; returns its identifier, 0 when it could not be started.
    virtual std::uintptr_t start_status_timer() = 0;
    virtual void stop_status_timer() = 0;
};

class StatusLine {
public:
    StatusLine(StatusDisplay& display, const TextTable& texts, const std::atomic<bool>& join_running);

    void show_status(std::wstring_view text, Colour colour, bool timed);
    void reset_status();
    void status_tick();
    // Writes a text and leaves colour, countdown, timer and persistence as they are.
    void set_text_only(std::wstring_view text);
    // The refusal of a command that must not run during a join.
    void show_busy();

    Colour status_colour() const { return status_colour_; }
    int status_countdown() const { return status_countdown_; }
    std::uintptr_t status_timer() const { return status_timer_; }
    bool status_persistent() const { return status_persistent_; }

private:
    void stop_timer();

    StatusDisplay& display_;
    const TextTable& texts_;
    const std::atomic<bool>& join_running_;
    Colour status_colour_ = COLOUR_NORMAL;
    int status_countdown_ = 0;
    std::uintptr_t status_timer_ = 0;
    bool status_persistent_ = false;
};

}  // namespace mendlet
