// A basic suite for holder tests: records every acquisition and release in
// order and fails the suites it is told to fail.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/BasicSuite.h"

struct SuiteCall {
    std::string name;
    int32_t version;
    bool operator==(const SuiteCall& other) const { return name == other.name && version == other.version; }
};

class RecordingBasicSuite {
public:
    RecordingBasicSuite();
    ~RecordingBasicSuite();

    SPBasicSuite* Suite() { return &suite; }
    // A code of 0 lifts the failure.
    void Fail(const std::string& name, int32_t version, int32_t code) {
        if (code == 0)
            failures.erase({name, version});
        else
            failures[{name, version}] = code;
    }
    void AnswerWithoutTable(bool on) { answerWithoutTable = on; }

    std::vector<SuiteCall> acquired;
    std::vector<SuiteCall> released;

private:
    static int32_t Acquire(const char* name, int32_t version, const void** table);
    static int32_t Release(const char* name, int32_t version);
    static HostBoolean IsEqual(const char* token, const char* text);

    SPBasicSuite suite;
    std::map<std::pair<std::string, int32_t>, int32_t> failures;
    bool answerWithoutTable = false;
    static RecordingBasicSuite* current;
};
