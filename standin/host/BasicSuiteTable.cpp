// The basic suite: acquisition and release of suites by name and version,
// and string comparison.
#include <cstring>

#include "standin/host/SuiteTables.h"

namespace standin {
namespace {

int32_t AcquireSuite(const char* name, int32_t version, const void** suite) {
    if (suite != nullptr) *suite = nullptr;
    return RunSuiteFunction("AcquireSuite", [&](Host& host) -> int32_t {
        if (name == nullptr || suite == nullptr) {
            host.BeginOperation("AcquireSuite");
            host.RecordError("AcquireSuite: null name or out-pointer");
            return host::kBadParameter;
        }
        if (std::optional<int32_t> failure = host.BeginOperation("AcquireSuite", name)) return *failure;
        const void* table = SuiteTable(name, version);
        if (table == nullptr) return host::kSuiteNotFound;
        host.MutableSuites().Acquired(name, version);
        *suite = table;
        return 0;
    });
}

// A failed release still gives the suite back, so that a test that fails
// every operation in turn never strands a holding.
int32_t ReleaseSuite(const char* name, int32_t version) {
    return RunSuiteFunction("ReleaseSuite", [&](Host& host) -> int32_t {
        if (name == nullptr) {
            host.BeginOperation("ReleaseSuite");
            host.RecordError("ReleaseSuite: null name");
            return host::kBadParameter;
        }
        std::optional<int32_t> failure = host.BeginOperation("ReleaseSuite", name);
        if (!host.MutableSuites().Released(name, version)) {
            host.RecordError("ReleaseSuite of \"" + std::string(name) + "\" version " + std::to_string(version) +
                             ", which is not acquired");
            return host::kSuiteNotAcquired;
        }
        return failure.value_or(0);
    });
}

HostBoolean IsEqual(const char* token, const char* text) {
    Host* host = Host::Current();
    if (token == nullptr || text == nullptr) {
        if (host != nullptr) host->RecordError("IsEqual: null string");
        return 0;
    }
    return std::strcmp(token, text) == 0 ? 1 : 0;
}

SPBasicSuite basicSuite = {AcquireSuite, ReleaseSuite, IsEqual};

}  // namespace

SPBasicSuite* BasicSuiteTable() { return &basicSuite; }

}  // namespace standin
