// Log lines: the thread tag, how the two texts of DebugLog are joined, and
// how DebugLogFormat and MyNSLog fill their placeholders.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#import <Foundation/Foundation.h>

#include "LogCapture.h"
#include "common/MyString.h"
#include "common/mac/DebugLog.h"

namespace {

const std::string kMain = " MAIN";
const std::string kSecondary = "        SEC";

// The test program's main thread logs first, so it is the main thread of
// every line below.
class MainThreadLogsFirst : public ::testing::Environment {
public:
    void SetUp() override { (void)GetThreadNameMac(); }
};
const ::testing::Environment* const kMainThreadLogsFirst =
    ::testing::AddGlobalTestEnvironment(new MainThreadLogsFirst);

std::string Utf8(NSString* text) {
    return text != nil ? std::string([text UTF8String]) : std::string("(nil)");
}

std::string TagOfNewThread() {
    std::string tag;
    std::thread worker([&] {
        NSAutoreleasePool* threadPool = [[NSAutoreleasePool alloc] init];
        tag = Utf8(GetThreadNameMac());
        [threadPool release];
    });
    worker.join();
    return tag;
}

class Logging : public ::testing::Test {
protected:
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    ~Logging() override { [pool release]; }
};

TEST_F(Logging, TheFirstThreadToLogIsTaggedMainAndEveryOtherSecondary) {
    EXPECT_EQ(Utf8(GetThreadNameMac()), kMain);
    EXPECT_EQ(TagOfNewThread(), kSecondary);
    EXPECT_EQ(TagOfNewThread(), kSecondary);
    EXPECT_EQ(Utf8(GetThreadNameMac()), kMain);
}

TEST_F(Logging, DebugLogJoinsItsTwoTextsAfterTheTag) {
    LogCapture capture;
    MyString::DebugLog("A", "B");
    MyString::DebugLog("first part, ", "second part");
    EXPECT_EQ(capture.Messages(), (std::vector<std::string>{kMain + ": AB", kMain + ": first part, second part"}));
}

TEST_F(Logging, DebugLogWritesPercentSignsUnchanged) {
    LogCapture capture;
    MyString::DebugLog("100% %d %s", "%@ %n %%");
    EXPECT_EQ(capture.Messages(), (std::vector<std::string>{kMain + ": 100% %d %s%@ %n %%"}));
}

TEST_F(Logging, DebugLogWritesTextsThatAreMissingOrNotUtf8AsEmpty) {
    LogCapture capture;
    MyString::DebugLog(nullptr, "tail");
    MyString::DebugLog("head", "\xC3\x28");
    EXPECT_EQ(capture.Messages(), (std::vector<std::string>{kMain + ": tail", kMain + ": head"}));
}

TEST_F(Logging, DebugLogFormatFillsPrintfPlaceholdersAndObjects) {
    LogCapture capture;
    MyString::DebugLogFormat("%d of %s, %@", 7, "seven", @"an object");
    MyString::DebugLogFormat("no placeholders");
    MyString::DebugLogFormat("h\xC3\xA9llo %u", 5u);
    EXPECT_EQ(capture.Messages(), (std::vector<std::string>{kMain + ": 7 of seven, an object",
                                                            kMain + ": no placeholders",
                                                            kMain + ": h\xC3\xA9llo 5"}));
}

TEST_F(Logging, MyNSLogFillsItsFormatLikeNSLog) {
    LogCapture capture;
    MyNSLog(@"%@ and %d%%", @"text", 3);
    MyNSLog(@"plain");
    EXPECT_EQ(capture.Messages(), (std::vector<std::string>{kMain + ": text and 3%", kMain + ": plain"}));
}

TEST_F(Logging, LinesFromAnotherThreadAreTaggedSecondary) {
    LogCapture capture;
    std::thread worker([] {
        NSAutoreleasePool* threadPool = [[NSAutoreleasePool alloc] init];
        MyString::DebugLog("from ", "worker");
        MyString::DebugLogFormat("worker %d", 2);
        MyNSLog(@"worker %@", @"three");
        [threadPool release];
    });
    worker.join();
    MyString::DebugLog("from ", "main");
    EXPECT_EQ(capture.Messages(), (std::vector<std::string>{kSecondary + ": from worker", kSecondary + ": worker 2",
                                                            kSecondary + ": worker three", kMain + ": from main"}));
}

TEST_F(Logging, TwoThreadsLoggingAtOnceEachGetTheirOwnCompleteLines) {
    LogCapture capture;
    constexpr int kLinesPerThread = 50;
    std::thread worker([] {
        NSAutoreleasePool* threadPool = [[NSAutoreleasePool alloc] init];
        for (int line = 0; line < kLinesPerThread; ++line) MyString::DebugLogFormat("worker line %d", line);
        [threadPool release];
    });
    for (int line = 0; line < kLinesPerThread; ++line) MyString::DebugLogFormat("main line %d", line);
    worker.join();

    int workerLines = 0;
    int mainLines = 0;
    for (const std::string& message : capture.Messages()) {
        if (message.rfind(kSecondary + ": worker line ", 0) == 0) ++workerLines;
        if (message.rfind(kMain + ": main line ", 0) == 0) ++mainLines;
    }
    EXPECT_EQ(workerLines, kLinesPerThread);
    EXPECT_EQ(mainLines, kLinesPerThread);
}

}  // namespace
