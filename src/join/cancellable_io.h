#pragma once
// Whether the worker is reading or writing the parts, the one time the window may cancel
// its pending I/O when the application must end: a share that stopped answering never ends
// such a read by itself. The worker's own clean-up (cutting back an appended first part,
// the flush, deleting the unfinished file) must run to its end, so the worker leaves this
// state before it, under the same lock that the window cancels under.

#include <mutex>

namespace mendlet {

class CancellableIo {
public:
    void enter() {
        const std::lock_guard lock(mutex_);
        inside_ = true;
    }
    // Once this returns, no cancel reaches the worker until it enters again.
    void leave() {
        const std::lock_guard lock(mutex_);
        inside_ = false;
    }
    bool inside() {
        const std::lock_guard lock(mutex_);
        return inside_;
    }
    // Runs cancel only while the worker is inside.
    template <typename Cancel>
    void cancel_if_inside(Cancel cancel) {
        const std::lock_guard lock(mutex_);
        if (inside_) cancel();
    }

private:
    std::mutex mutex_;
    bool inside_ = false;
};

// Inside for as long as it lives.
class CancellableIoScope {
public:
    explicit CancellableIoScope(CancellableIo& io) : io_(io) { io_.enter(); }
    ~CancellableIoScope() { io_.leave(); }
    CancellableIoScope(const CancellableIoScope&) = delete;
    CancellableIoScope& operator=(const CancellableIoScope&) = delete;

private:
    CancellableIo& io_;
};

}  // namespace mendlet
