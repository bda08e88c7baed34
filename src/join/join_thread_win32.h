#pragma once
// The worker thread of a join. Destroying it, as the application does when it exits during
// a job, stops the job and waits for it, so nothing the worker uses is freed under it.

#include <windows.h>

namespace mendlet {

struct JoinContext;

class JoinThread {
public:
    explicit JoinThread(JoinContext& job) : job_(job) {}
    ~JoinThread();
    JoinThread(const JoinThread&) = delete;
    JoinThread& operator=(const JoinThread&) = delete;

    // Starts join_thread_main, releasing the handle of the last job first. False when no
    // thread could be started.
    bool start();
    // From the start until join_thread_main has returned, including the moments before
    // the worker sets join_running and after it has cleared it.
    bool alive() const;
    bool holds_handle() const { return thread_ != nullptr; }
    // Lets go of the handle; a job still running goes on.
    void release();
    // Waits at most the time given for the thread to end, carrying out the requests the
    // worker sends this thread's windows meanwhile. True when no thread runs any more.
    bool wait_for_end(DWORD milliseconds);
    // Asks the job to stop and cancels the read or write of a part the worker waits on: a
    // share that stopped answering never ends one by itself. Its clean-up is left to run.
    void stop();
    // Stops the job as stop does, again after each second, and waits as wait_for_end does.
    // The handle is let go once the thread has ended.
    bool stop_and_wait(DWORD milliseconds = INFINITE);
    // For a worker that did not stop: the first part its append job grew gets its old size
    // back, on a thread of its own, since the worker may hang holding the part. True when it
    // has that size, or no job grew one; false when that failed or took longer than given.
    bool cut_back_first_part(DWORD milliseconds);

private:
    template <typename Between>
    bool wait(DWORD milliseconds, Between between);

    JoinContext& job_;
    HANDLE thread_ = nullptr;
};

}  // namespace mendlet
