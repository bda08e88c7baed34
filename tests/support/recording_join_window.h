#pragma once
// A join window for tests: records what the worker asks of it, answers every question as
// told, and reads the job's inputs and "When done" choices from its fields.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/part_list.h"
#include "join/join_window.h"
#include "join/join_worker.h"

namespace mendlet::test_support {

struct ShownStatus {
    std::wstring text;
    Colour colour;
    bool timed;
};

class RecordingJoinWindow : public JoinWindow {
public:
    JobInputs inputs;
    // The list is emptied after a join, as the menu has it on a first start.
    CompletionChoices choices{false, false, false, true};
    bool answer = true;
    // Runs on the worker thread after each progress value is recorded.
    std::function<void(std::uint32_t)> on_progress;
    // When given, events also record whether a job was running at that moment.
    const JoinFlags* flags = nullptr;

    std::vector<Question> questions;
    std::vector<ShownStatus> statuses;
    std::vector<std::uint32_t> progress;
    std::optional<std::string> crc32;
    std::optional<std::string> md5;
    int digest_calls = 0;
    std::vector<std::wstring> opened_folders;
    std::vector<std::wstring> opened_files;
    // Every request in order, by name; "+" marks those made while join_running was set.
    std::vector<std::string> events;
    bool list_emptied_keeping_status = false;

    bool ask_yes_no(const Question& question) override {
        record("question");
        questions.push_back(question);
        return answer;
    }
    JobInputs read_job_inputs() override {
        record("inputs");
        return inputs;
    }
    CompletionChoices read_completion_choices() override {
        record("choices");
        return choices;
    }
    void show_status(std::wstring_view text, Colour colour, bool timed) override {
        record("status");
        statuses.push_back({std::wstring(text), colour, timed});
    }
    void reset_status() override { record("reset_status"); }
    void start_taskbar_progress() override { record("taskbar_progress"); }
    void show_progress(std::uint32_t permille) override {
        progress.push_back(permille);
        if (on_progress) on_progress(permille);
    }
    void show_digests(const std::optional<std::string>& crc, const std::optional<std::string>& md5_text) override {
        record("digests");
        ++digest_calls;
        crc32 = crc;
        md5 = md5_text;
    }
    void open_output_folder(const std::wstring& path) override {
        record("open_folder");
        opened_folders.push_back(path);
    }
    void open_output_file(const std::wstring& path) override {
        record("open_file");
        opened_files.push_back(path);
    }
    void mark_part(PartList& list, std::uint32_t index, std::int32_t status) override {
        record("mark_part");
        list.at(index)->set_status(status);
    }
    void empty_list(bool keep_status) override {
        record("empty_list");
        list_emptied_keeping_status = keep_status;
    }
    void job_started() override { record("job_started"); }
    void show_busy_state(JobKind kind) override { record(kind == JobKind::check ? "busy_checking" : "busy"); }
    void show_idle_state() override { record("idle"); }
    void job_ended() override { record("job_ended"); }
    void request_close() override { record("close"); }

private:
    void record(const char* name) {
        const bool running = flags != nullptr && flags->join_running;
        events.push_back(running ? std::string("+") + name : std::string(name));
    }
};

}  // namespace mendlet::test_support
