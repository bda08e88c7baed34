#pragma once
// Everything the join worker asks of the main window. The worker never touches a window
// itself: the window carries out each request on its own thread while the worker waits.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/list_checks.h"
#include "join/status_line.h"

namespace mendlet {

class PartList;

// A job joins the parts, or only checks them against the checksum files beside them.
enum class JobKind { join, check };

// The window's state that a job reads when it starts.
struct JobInputs {
    bool append_to_first = false;
    bool exit_when_done = false;
    bool hashing_disabled = false;
    bool crc32_checked = false;
    bool md5_checked = false;
    std::wstring output_path;
};

// The "When done" boxes and the menu's "Remove all items from list after Join", read after
// a successful copy so that changes made during the job count.
struct CompletionChoices {
    bool open_output_folder = false;
    bool open_output_file = false;
    bool delete_parts = false;
    bool remove_all_after_join = false;
};

// The questions go through Questioner::ask_yes_no; the overwrite question too.
class JoinWindow : public Questioner {
public:
    virtual JobInputs read_job_inputs() = 0;
    virtual CompletionChoices read_completion_choices() = 0;

    virtual void show_status(std::wstring_view text, Colour colour, bool timed) = 0;
    virtual void reset_status() = 0;

    // The taskbar button starts showing progress, at 0 of 1000.
    virtual void start_taskbar_progress() = 0;
    // A new per-mille value for the progress bar and the taskbar button.
    virtual void show_progress(std::uint32_t permille) = 0;
    // Only the digests a job computed are given; the other box keeps its text.
    virtual void show_digests(const std::optional<std::string>& crc32, const std::optional<std::string>& md5) = 0;

    // Marks an entry of the list with a new status; the list view reads statuses as it
    // paints, so the window sets it on its own thread.
    virtual void mark_part(PartList& list, std::uint32_t index, std::int32_t status) = 0;

    // The shell's calls are made on the worker's own thread, which has COM ready for them:
    // inside the window's handling of a request from another thread COM refuses the calls
    // that shell extensions make.
    virtual void open_output_folder(const std::wstring& output_path) = 0;
    virtual void open_output_file(const std::wstring& output_path) = 0;
    // Empties the list view, the part list and the output path box, and drops a
    // persistent status message unless it is to stay.
    virtual void empty_list(bool keep_status) = 0;

    // A job starts: the window holds off a system shutdown.
    virtual void job_started() = 0;
    // Output path and Browse hidden, "&Stop", options disabled, progress bar shown at 0, the
    // status line saying what the job does; a join also empties the digest boxes.
    virtual void show_busy_state(JobKind kind) = 0;
    // The list redrawn, taskbar progress off, the idle controls back, progress bar hidden;
    // after a long job, the taskbar button flashing when the window is not in front.
    virtual void show_idle_state() = 0;
    // The job has ended: shutdown is allowed again.
    virtual void job_ended() = 0;
    // Closes the application the normal way, after the job has ended.
    virtual void request_close() = 0;
};

}  // namespace mendlet
