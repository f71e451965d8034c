// Which thread counts as the main thread for log lines: the first one that
// asks. Two threads asking for the very first time at once agree on one of
// them (compare-and-set, first writer wins); afterwards the record is only
// read.
#pragma once

#include <pthread.h>

#include <atomic>

#include "common/mac/ModuleLocal.h"

class DECIMORA_MODULE_LOCAL MainThreadRecord {
public:
    MainThreadRecord() = default;
    MainThreadRecord(const MainThreadRecord&) = delete;
    MainThreadRecord& operator=(const MainThreadRecord&) = delete;

    // Records the calling thread if no thread is recorded yet, then tells
    // whether the calling thread is the recorded one.
    bool IsMainThread();

    // The record of the process's log lines.
    static MainThreadRecord& ForLogging();

private:
    std::atomic<pthread_t> recorded{pthread_t()};
};
