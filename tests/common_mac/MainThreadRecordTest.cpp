// The record of the main thread: the first thread to ask wins, also when
// several ask for the very first time at once.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "common/mac/MainThreadRecord.h"

namespace {

bool AskFromNewThread(MainThreadRecord& record) {
    bool isMain = true;
    std::thread worker([&] { isMain = record.IsMainThread(); });
    worker.join();
    return isMain;
}

TEST(MainThreadRecord, TheFirstThreadToAskStaysTheMainThread) {
    MainThreadRecord record;
    EXPECT_TRUE(record.IsMainThread());
    EXPECT_FALSE(AskFromNewThread(record));
    EXPECT_TRUE(record.IsMainThread());
}

TEST(MainThreadRecord, AWorkerThatAsksFirstBecomesTheMainThread) {
    MainThreadRecord record;
    std::atomic<bool> workerHasAsked{false};
    std::atomic<bool> testThreadHasAsked{false};
    bool workerWasMain = false;
    bool workerIsStillMain = false;
    std::thread worker([&] {
        workerWasMain = record.IsMainThread();
        workerHasAsked = true;
        while (!testThreadHasAsked) std::this_thread::yield();
        workerIsStillMain = record.IsMainThread();
    });
    while (!workerHasAsked) std::this_thread::yield();
    const bool testThreadIsMain = record.IsMainThread();
    testThreadHasAsked = true;
    worker.join();

    EXPECT_TRUE(workerWasMain);
    EXPECT_TRUE(workerIsStillMain);
    EXPECT_FALSE(testThreadIsMain);
}

TEST(MainThreadRecord, ThreadsAskingForTheFirstTimeAtOnceAgreeOnOne) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 50;
    for (int round = 0; round < kRounds; ++round) {
        MainThreadRecord record;
        std::atomic<int> ready{0};
        std::atomic<bool> go{false};
        std::vector<int> firstAnswers(kThreads, 0);
        std::vector<int> laterAnswers(kThreads, 0);
        std::vector<std::thread> threads;
        for (int index = 0; index < kThreads; ++index) {
            threads.emplace_back([&, index] {
                ++ready;
                while (!go) std::this_thread::yield();
                firstAnswers[index] = record.IsMainThread() ? 1 : 0;
                laterAnswers[index] = record.IsMainThread() ? 1 : 0;
            });
        }
        while (ready < kThreads) std::this_thread::yield();
        go = true;
        for (std::thread& thread : threads) thread.join();

        int mainThreads = 0;
        for (int index = 0; index < kThreads; ++index) {
            mainThreads += firstAnswers[index];
            EXPECT_EQ(firstAnswers[index], laterAnswers[index]) << "thread " << index << " changed its mind";
        }
        ASSERT_EQ(mainThreads, 1) << "round " << round;
    }
}

}  // namespace
