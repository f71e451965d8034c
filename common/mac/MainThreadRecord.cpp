#include "common/mac/MainThreadRecord.h"

bool MainThreadRecord::IsMainThread() {
    const pthread_t self = pthread_self();
    pthread_t expected = pthread_t();
    if (recorded.compare_exchange_strong(expected, self)) return true;
    // `expected` now holds the thread that was recorded first.
    return pthread_equal(expected, self) != 0;
}

MainThreadRecord& MainThreadRecord::ForLogging() {
    static MainThreadRecord record;
    return record;
}
