// A fault-injection sweep over one kind of run of the real module: the n-th
// host operation of the run fails, for every n the clean run reaches. After
// each run the host must be whole (nothing thrown into it, no handle leaked
// or freed twice, no suite misused) and the target document either the
// complete reduction, as one history state, or exactly what it was before.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "standin/host/Host.h"

namespace reliability {

// The code every injected fault answers with: an ordinary host error that
// fits the 16-bit results of the action suites and means nothing special.
constexpr int32_t kInjectedCode = -4242;

// Fills every sample with a pattern, so that "unchanged" compares every pixel.
void Paint(standin::Image& image);

// Gives back every suite the plug-in holds through its exported
// PIUSuitesRelease. The module stays mapped between hosts, so its holders
// would otherwise carry the suites of one host over to the next.
void ReleasePluginSuites();

// What a run leaves when no operation fails.
struct CleanRun {
    int64_t operations = 0;
    std::vector<std::string> operationNames;  // operationNames[n - 1] is operation n
    std::optional<standin::Image> result;     // the reduced document
    std::vector<std::string> problems;        // why the clean run is not usable, if it is not
};

// A test name for operation n: "n7_descriptor_Make".
std::string OperationTestName(const CleanRun& clean, int64_t n);

enum class Outcome { complete, untouched, damaged };

// What one run with a fault left behind.
struct FaultedRun {
    int64_t n = 0;
    std::string operation;
    int32_t entryResult = 0;
    Outcome outcome = Outcome::damaged;
    int leakedHandles = 0;
    bool exceptionEscaped = false;
    bool faultReached = false;
    std::vector<std::string> hostErrors;  // misuse and unimplemented calls
    std::vector<std::string> history;
    // Problems a kind of run checks for itself (e.g. the recorded step).
    std::vector<std::string> otherProblems;
};

// Judges the host and its target document after the run whose n-th
// operation failed. `before` is the document as it was, `reduced` the clean
// run's result.
FaultedRun Inspect(standin::Host& host, int64_t n, int32_t entryResult, const standin::Image& before,
                   const standin::Image& reduced);

// What is wrong with a run, one sentence each; empty when it is sound.
std::vector<std::string> Problems(const FaultedRun& run);

// One readable block of the problems, for test messages.
std::string Describe(const FaultedRun& run);

// Counts over one sweep and its summary line.
class SweepTally {
public:
    // `known` marks a run whose problems are a fault already reported and
    // not mended yet: it is counted apart from the unsound runs.
    void Add(const FaultedRun& run, bool known = false);
    // "57 faults injected: all survived, 0 handles leaked, every document
    // complete or untouched (20 complete, 37 untouched)", or what went wrong.
    std::string Summary() const;

private:
    int64_t injected_ = 0;
    int64_t known_ = 0;
    int64_t unsound_ = 0;
    int64_t leaked_ = 0;
    int64_t escaped_ = 0;
    int64_t misused_ = 0;
    int64_t complete_ = 0;
    int64_t untouched_ = 0;
    int64_t damaged_ = 0;
};

}  // namespace reliability
