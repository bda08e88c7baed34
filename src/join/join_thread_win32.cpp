#include "join/join_thread_win32.h"

#include <objbase.h>

#include "join/join_worker.h"

namespace mendlet {

namespace {

// How long a wait for the worker gives a cancelled read or write before it cancels the one
// the worker may have started since.
constexpr DWORD WAIT_SLICE_MS = 1000;

// The worker calls the shell for the "When done" actions, and the shell uses COM.
DWORD WINAPI join_thread_proc(LPVOID job) {
    const bool com_ready = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    join_thread_main(*static_cast<JoinContext*>(job));
    if (com_ready) CoUninitialize();
    return 0;
}

DWORD WINAPI cut_back_proc(LPVOID part) { return static_cast<AppendedFirstPart*>(part)->cut_back() ? 0 : 1; }

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

bool JoinThread::wait_for_end(DWORD milliseconds) {
    return wait(milliseconds, [] {});
}

void JoinThread::stop() {
    job_.flags.stop_requested = true;
    if (thread_ != nullptr) job_.flags.file_io.cancel_if_inside([this] { CancelSynchronousIo(thread_); });
}

bool JoinThread::stop_and_wait(DWORD milliseconds) {
    const bool ended = wait(milliseconds, [this] { stop(); });
    if (ended) release();
    return ended;
}

bool JoinThread::cut_back_first_part(DWORD milliseconds) {
    AppendedFirstPart& part = job_.flags.appended_first_part;
    if (!part.growing()) return true;
    const HANDLE cutter = CreateThread(nullptr, 0, cut_back_proc, &part, 0, nullptr);
    if (cutter == nullptr) return false;
    DWORD code = 1;
    const bool cut = WaitForSingleObject(cutter, milliseconds) == WAIT_OBJECT_0 && GetExitCodeThread(cutter, &code) &&
                     code == 0;
    CloseHandle(cutter);
    return cut;
}

template <typename Between>
bool JoinThread::wait(DWORD milliseconds, Between between) {
    if (thread_ == nullptr) return true;
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        between();
        const ULONGLONG waited = GetTickCount64() - start;
        if (milliseconds != INFINITE && waited >= milliseconds) return false;
        const DWORD left = milliseconds == INFINITE ? WAIT_SLICE_MS : static_cast<DWORD>(milliseconds - waited);
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread_, FALSE, left < WAIT_SLICE_MS ? left : WAIT_SLICE_MS,
                                                      QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0) return true;
        if (woken == WAIT_FAILED) return false;
        // Peeking carries out the messages other threads sent; the worker waits for them.
        MSG message;
        if (woken == WAIT_OBJECT_0 + 1) PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace mendlet
