#pragma once
// The join worker: rebuilds a file from the parts in the list, in normal or append mode,
// with digests, progress, stop and the "When done" actions; or checks the parts alone.

#include <atomic>
#include <cstdint>

#include "join/appended_first_part.h"
#include "join/cancellable_io.h"
#include "join/join_window.h"

namespace mendlet {

class JoinFiles;
class PartList;
struct Settings;
struct TextTable;

// What the window and the worker share.
struct JoinFlags {
    // Written by the worker: a job runs.
    std::atomic<bool> join_running{false};
    // Written by the window, and cleared by it as it starts a job: the job is to stop at
    // its next chunk, or before it begins.
    std::atomic<bool> stop_requested{false};
    // The first part an append join grows, for the window to cut back should the
    // application have to end while the worker hangs.
    AppendedFirstPart appended_first_part;
    // Whether the worker reads or writes parts or checksum files, which alone the window may
    // cancel.
    CancellableIo file_io;
};

// What a job works on. All of it outlives the job; the list is not changed by anyone else
// while join_running is set.
struct JoinContext {
    PartList& list;
    const Settings& settings;
    const TextTable& texts;
    JoinWindow& window;
    JoinFiles& files;
    JoinFlags& flags;
    // Set by the window before it starts the worker.
    JobKind kind = JobKind::join;
};

// What the status line says while a job of that kind runs.
const wchar_t* job_activity(const TextTable& texts, JobKind kind);

// Per mille of done out of total, truncated. Never above 1000 (the parts may have grown
// since they were listed) and never a division by zero.
std::uint32_t progress_permille(std::uint64_t done, std::uint64_t total);

// One job. True only when it completed and Exit was checked at its start.
bool run_join(JoinContext& job);

// The worker thread's body: the job messages and the window's busy state around the job,
// then the request to close when a join asked for it.
void join_thread_main(JoinContext& job);

}  // namespace mendlet
