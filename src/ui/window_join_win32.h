#pragma once
// The main window's side of a join: every request of the worker is carried out on the
// window's thread while the worker waits, so the worker never touches a window itself.

#include <cstdint>

#include "join/join_window.h"

namespace mendlet {

class Application;

class WindowJoin : public JoinWindow {
public:
    explicit WindowJoin(Application& application) : app_(application) {}

    bool ask_yes_no(const Question& question) override;
    JobInputs read_job_inputs() override;
    CompletionChoices read_completion_choices() override;
    void show_status(std::wstring_view text, Colour colour, bool timed) override;
    void reset_status() override;
    void start_taskbar_progress() override;
    void show_progress(std::uint32_t permille) override;
    void show_digests(const std::optional<std::string>& crc32, const std::optional<std::string>& md5) override;
    void mark_part(PartList& list, std::uint32_t index, std::int32_t status) override;
    void open_output_folder(const std::wstring& output_path) override;
    void open_output_file(const std::wstring& output_path) override;
    void empty_list(bool keep_status) override;
    void job_started() override;
    void show_busy_state(JobKind kind) override;
    void show_idle_state() override;
    void job_ended() override;
    void request_close() override;

private:
    // Runs the work on the window's thread and returns when it is done; does nothing once
    // the window is gone.
    template <typename Work>
    void on_window_thread(Work work);
    void show_job_controls(bool busy);
    void flash_if_unseen();

    Application& app_;
    // When the running job showed its busy state, by the application's clock; read on the
    // window's thread only.
    std::uint64_t job_shown_at_ = 0;
};

}  // namespace mendlet
