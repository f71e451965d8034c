#include "RecordingBasicSuite.h"

#include <cstring>

RecordingBasicSuite* RecordingBasicSuite::current = nullptr;

namespace {
// Any non-null address serves as a table: holder tests never call through it.
const char kFakeTable[64] = {};
}  // namespace

RecordingBasicSuite::RecordingBasicSuite() : suite{&Acquire, &Release, &IsEqual} { current = this; }

RecordingBasicSuite::~RecordingBasicSuite() { current = nullptr; }

int32_t RecordingBasicSuite::Acquire(const char* name, int32_t version, const void** table) {
    current->acquired.push_back({name, version});
    auto failure = current->failures.find({name, version});
    if (failure != current->failures.end()) return failure->second;
    *table = current->answerWithoutTable ? nullptr : kFakeTable;
    return 0;
}

int32_t RecordingBasicSuite::Release(const char* name, int32_t version) {
    current->released.push_back({name, version});
    return 0;
}

HostBoolean RecordingBasicSuite::IsEqual(const char* token, const char* text) {
    return std::strcmp(token, text) == 0;
}
