// SIGINT and SIGTERM end the program at once with status 130: a watcher
// thread waits for them, removes every temporary output file still being
// written, stops the worker processes (and waits for them, so that they have
// removed theirs), ends an open progress line, and exits.
//
// The two signals are blocked in every thread and taken by the watcher with
// sigwait, so that handlers a library installs later (the windowing
// backend installs its own when the dialog opens) never see them.
#pragma once

#include <sys/types.h>

namespace cli {

// Blocks the signals in the calling thread, before any other thread is
// started so that all of them inherit the mask, and starts the watcher.
// Also ignores SIGPIPE, so that a write to a worker that has died fails with
// EPIPE instead of ending the program.
void WatchForInterrupts();

// fork() with the watcher's view kept consistent: in the parent the child is
// listed as a worker to stop; the child lists no workers of its own, starts
// a watcher of its own (threads do not survive fork) and exits silently when
// interrupted. Returns what fork() returns.
pid_t ForkWorker();

// Takes a reaped worker off the list.
void ForgetWorker(pid_t worker);

// Whether stderr holds an unfinished progress line, which the watcher ends
// before its message.
void SetProgressLineOpen(bool open);

}  // namespace cli
