#include "join/join_thread_win32.h"

#include "join/join_worker.h"

namespace mendlet {

namespace {

DWORD WINAPI join_thread_proc(LPVOID job) {
    join_thread_main(*static_cast<JoinContext*>(job));
    return 0;
}

}  // namespace

JoinThread::~JoinThread() { stop_and_wait(); }

bool JoinThread::start() {
    release();
    thread_ = CreateThread(nullptr, 0, join_thread_proc, &job_, 0, nullptr);
    return thread_ != nullptr;
}

bool JoinThread::alive() const { return thread_ != nullptr && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT; }

void JoinThread::release() {
    if (thread_ != nullptr) CloseHandle(thread_);
    thread_ = nullptr;
}

void JoinThread::stop_and_wait() {
    if (thread_ == nullptr) return;
    for (;;) {
        // Set again after every wake: a worker that is only starting clears the flag once.
        job_.flags.stop_requested = true;
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) break;
        // Peeking carries out the messages other threads sent; the worker waits for them.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    release();
}

}  // namespace mendlet
