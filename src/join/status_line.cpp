#include "join/status_line.h"

#include "lang/text_table.h"
#include "lang/text_names.h"

namespace mendlet {

StatusLine::StatusLine(StatusDisplay& display, const TextTable& texts, const std::atomic<bool>& join_running)
    : display_(display), texts_(texts), join_running_(join_running) {}

void StatusLine::show_status(std::wstring_view text, Colour colour, bool timed) {
    if (timed) {
        status_countdown_ = STATUS_COUNTDOWN_TICKS;
        status_persistent_ = false;
    } else {
        stop_timer();
        status_persistent_ = true;
    }
    status_colour_ = colour;
    display_.set_status_text(text);
    // A running timer keeps its phase, so a timed message lasts 2.0 to 2.5 seconds.
    if (timed && status_timer_ == 0) status_timer_ = display_.start_status_timer();
}

void StatusLine::reset_status() {
    stop_timer();
    status_colour_ = COLOUR_NORMAL;
    display_.set_status_text(texts_.messages[MSG_READY]);
    status_persistent_ = false;
}

void StatusLine::status_tick() {
    if (--status_countdown_ != 0) return;
    stop_timer();
    status_colour_ = COLOUR_NORMAL;
    display_.set_status_text(join_running_.load(std::memory_order_relaxed) ? texts_.messages[MSG_JOINING] : texts_.messages[MSG_READY]);
}

void StatusLine::set_text_only(std::wstring_view text) { display_.set_status_text(text); }

void StatusLine::show_busy() { show_status(texts_.messages[MSG_BUSY], COLOUR_ERROR, true); }

void StatusLine::stop_timer() {
    display_.stop_status_timer();
    status_timer_ = 0;
}

}  // namespace mendlet
