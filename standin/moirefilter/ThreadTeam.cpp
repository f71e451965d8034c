#include "standin/moirefilter/ThreadTeam.h"

#include <system_error>

namespace moirenix {

ThreadTeam::ThreadTeam(int threads) {
    for (int worker = 1; worker < threads; ++worker) {
        try {
            helpers_.emplace_back(&ThreadTeam::HelperLoop, this, worker);
        } catch (const std::system_error&) {
            break;  // run with the threads already started
        }
    }
}

ThreadTeam::~ThreadTeam() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& helper : helpers_) helper.join();
}

void ThreadTeam::ForEach(int64_t count, const std::function<void(int64_t, int)>& task) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        task_ = &task;
        count_ = count;
        next_ = 0;
        failure_ = nullptr;
        busy_ = Size();
        ++generation_;
    }
    wake_.notify_all();
    Work(0);
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    task_ = nullptr;
    if (failure_) std::rethrow_exception(failure_);
}

void ThreadTeam::HelperLoop(int worker) {
    uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
        }
        Work(worker);
    }
}

// Takes items one at a time until none are left, then reports done.
void ThreadTeam::Work(int worker) {
    for (;;) {
        int64_t item;
        const std::function<void(int64_t, int)>* task;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (next_ >= count_ || failure_) break;
            item = next_++;
            task = task_;
        }
        try {
            (*task)(item, worker);
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (--busy_ == 0) done_.notify_all();
}

}  // namespace moirenix
