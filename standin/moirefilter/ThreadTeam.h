// A fixed team of threads that runs one loop at a time: the calling thread
// works too, and every call returns only when all items are done. Callbacks
// to the host therefore stay on the calling thread, between loops.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace moirenix {

class ThreadTeam {
public:
    // `threads` workers in all, the caller included; fewer if the system
    // refuses to start more.
    explicit ThreadTeam(int threads);
    ~ThreadTeam();
    ThreadTeam(const ThreadTeam&) = delete;
    ThreadTeam& operator=(const ThreadTeam&) = delete;

    int Size() const { return static_cast<int>(helpers_.size()) + 1; }

    // Runs task(item, worker) for every item in [0, count), worker being a
    // number in [0, Size()) unique to the thread running it. Rethrows the
    // first exception a task threw, once every thread has stopped.
    void ForEach(int64_t count, const std::function<void(int64_t item, int worker)>& task);

private:
    void HelperLoop(int worker);
    void Work(int worker);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::vector<std::thread> helpers_;
    const std::function<void(int64_t, int)>* task_ = nullptr;
    int64_t count_ = 0;
    int64_t next_ = 0;
    uint64_t generation_ = 0;
    int busy_ = 0;
    bool stopping_ = false;
    std::exception_ptr failure_;
};

}  // namespace moirenix
