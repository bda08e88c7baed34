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
    // the worker sets join_running.
    bool alive() const;
    bool holds_handle() const { return thread_ != nullptr; }
    // Lets go of the handle; a job still running goes on.
    void release();
    // Asks the job to stop and waits for the thread, carrying out the requests the worker
    // sends this thread's windows meanwhile.
    void stop_and_wait();

private:
    JoinContext& job_;
    HANDLE thread_ = nullptr;
};

}  // namespace mendlet
