// The logging functions under load: many threads logging at once through all
// three of them, and many threads asking for their tag at once. Every line
// must arrive whole, once, in its thread's order and with its thread's tag.
// The ThreadSanitizer build of scripts/reliability.sh runs this too.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#import <Foundation/Foundation.h>

#include "common/MyString.h"
#include "common/mac/DebugLog.h"
#include "common_mac/LogCapture.h"

namespace {

const std::string kMain = " MAIN";
const std::string kSecondary = "        SEC";
constexpr int kThreads = 8;
constexpr int kRoundsPerThread = 60;

// The program's main thread logs first, so every other thread is secondary.
class MainThreadLogsFirst : public ::testing::Environment {
public:
    void SetUp() override { (void)GetThreadNameMac(); }
};
const ::testing::Environment* const kMainThreadLogsFirst =
    ::testing::AddGlobalTestEnvironment(new MainThreadLogsFirst);

// Starts `count` threads that each wait for the others, then run `work`
// with their index inside an autorelease pool.
template <class Work>
void RunTogether(int count, Work work) {
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int index = 0; index < count; ++index) {
        threads.emplace_back([&, index] {
            NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
            ++ready;
            while (!go) std::this_thread::yield();
            work(index);
            [pool release];
        });
    }
    while (ready < count) std::this_thread::yield();
    go = true;
    for (std::thread& thread : threads) thread.join();
}

// "worker 3 line 17 by DebugLogFormat" -> thread 3, line 17.
bool ParseWorkerLine(const std::string& text, int* thread, int* line, std::string* by) {
    std::istringstream in(text);
    std::string worker, lineWord, byWord;
    if (!(in >> worker >> *thread >> lineWord >> *line >> byWord >> *by)) return false;
    std::string rest;
    return worker == "worker" && lineWord == "line" && byWord == "by" && !(in >> rest);
}

TEST(LoggingUnderLoad, EveryLineFromManyThreadsArrivesWholeOnceAndInOrder) {
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    LogCapture capture;
    RunTogether(kThreads, [](int thread) {
        for (int line = 0; line < kRoundsPerThread; ++line) {
            MyString::DebugLogFormat("worker %d line %d by %s", thread, line, "DebugLogFormat");
            const std::string head = "worker " + std::to_string(thread) + " line " + std::to_string(line);
            MyString::DebugLog(head.c_str(), " by DebugLog");
            MyNSLog(@"worker %d line %d by %@", thread, line, @"MyNSLog");
        }
    });
    MyString::DebugLog("main ", "done");

    const std::vector<std::string> messages = capture.Messages();
    ASSERT_EQ(messages.size(), static_cast<size_t>(kThreads * kRoundsPerThread * 3 + 1));
    EXPECT_EQ(messages.back(), kMain + ": main done");
    // For each thread and function, the next line number expected.
    std::map<std::pair<int, std::string>, int> next;
    for (size_t index = 0; index + 1 < messages.size(); ++index) {
        const std::string& message = messages[index];
        ASSERT_EQ(message.rfind(kSecondary + ": ", 0), 0u) << "untagged or torn line: " << message;
        int thread = -1;
        int line = -1;
        std::string by;
        ASSERT_TRUE(ParseWorkerLine(message.substr(kSecondary.size() + 2), &thread, &line, &by))
            << "torn line: " << message;
        int& expected = next[std::make_pair(thread, by)];
        EXPECT_EQ(line, expected) << message;
        ++expected;
    }
    for (const auto& counted : next) EXPECT_EQ(counted.second, kRoundsPerThread) << counted.first.second;
    EXPECT_EQ(next.size(), static_cast<size_t>(kThreads * 3));
    [pool release];
}

TEST(LoggingUnderLoad, ManyThreadsAskingForTheirTagAtOnceAreAllSecondary) {
    std::vector<int> secondary(kThreads, 0);
    RunTogether(kThreads, [&secondary](int thread) {
        for (int round = 0; round < 1000; ++round) {
            if (kSecondary == [GetThreadNameMac() UTF8String]) ++secondary[thread];
        }
    });
    for (int thread = 0; thread < kThreads; ++thread) EXPECT_EQ(secondary[thread], 1000) << thread;
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    EXPECT_EQ(kMain, [GetThreadNameMac() UTF8String]);
    [pool release];
}

}  // namespace
