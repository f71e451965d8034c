#include "host/AutoSuite.h"

#include "host/FourCharCodes.h"

SPBasicSuite* sSPBasic = nullptr;

AutoSuiteBase::AutoSuiteBase(const char* suiteName, int32_t suiteVersion) noexcept
    : table(nullptr), version(suiteVersion), name(suiteName), lastResult(0) {}

// Runs at static destruction of the loaded image, in reverse order of
// construction, with whatever basic suite the last message stored.
AutoSuiteBase::~AutoSuiteBase() { Release(); }

void AutoSuiteBase::Release() noexcept {
    if (table == nullptr || name == nullptr || sSPBasic == nullptr) return;
    sSPBasic->ReleaseSuite(name, version);
    table = nullptr;
}

const void* AutoSuiteBase::AcquiredTable() {
    if (table != nullptr) return table;
    if (sSPBasic == nullptr) {
        lastResult = static_cast<int32_t>(fourcc::kParm);
        throw static_cast<uint32_t>(fourcc::kParm);
    }
    const void* acquired = nullptr;
    lastResult = sSPBasic->AcquireSuite(name, version, &acquired);
    if (lastResult != 0) throw static_cast<uint32_t>(lastResult);
    if (acquired == nullptr) {
        // A host that reports success without a table: give the acquisition
        // back and fail rather than hand out a null table.
        sSPBasic->ReleaseSuite(name, version);
        lastResult = static_cast<int32_t>(fourcc::kParm);
        throw static_cast<uint32_t>(fourcc::kParm);
    }
    table = acquired;
    return table;
}
