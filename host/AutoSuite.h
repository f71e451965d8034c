// Suite holders: one global holder per host suite. A holder acquires its
// suite on first use, keeps the table until the bundle is unloaded (or
// PIUSuitesRelease), and turns a failed acquisition into a thrown uint32_t
// code, so callers never test for a missing table.
#pragma once

#include <cstdint>

#include "host/BasicSuite.h"

// The basic suite of the latest host message; null until the first message.
extern SPBasicSuite* sSPBasic;

// The untyped part of a holder: its fields, in this order, and release.
class AutoSuiteBase {
public:
    AutoSuiteBase(const char* name, int32_t version) noexcept;
    ~AutoSuiteBase();
    AutoSuiteBase(const AutoSuiteBase&) = delete;
    AutoSuiteBase& operator=(const AutoSuiteBase&) = delete;

    // Gives the suite back to the host if it is held; never throws. The
    // holder may be acquired again afterwards.
    void Release() noexcept;

    bool IsAcquired() const noexcept { return table != nullptr; }
    int32_t LastResult() const noexcept { return lastResult; }

protected:
    // The table, acquiring it first if needed. Throws the failure code as
    // uint32_t: 'Parm' without a basic suite, else the host's refusal.
    const void* AcquiredTable();

private:
    const void* table;
    int32_t version;
    const char* name;
    int32_t lastResult;
};

// A holder typed by its suite's table. Suites the plug-in never calls use the
// opaque table type.
template <class SuiteTable>
class AutoSuite : public AutoSuiteBase {
public:
    using AutoSuiteBase::AutoSuiteBase;
    const SuiteTable* operator->() { return static_cast<const SuiteTable*>(AcquiredTable()); }
};

struct OpaqueSuiteTable;
