// A recording host for unit tests of the engine and the entry point. It
// serves the basic suite and the four action-side suites as plain C tables,
// keeps descriptors as inspectable lists of entries, logs every call in
// order, and fails or throws from any operation on demand. Misuse (a free of
// a handle that is not live) is recorded in `misuse` instead of crashing.
//
// One FakeHost is alive at a time; its construction stores its basic suite
// in sSPBasic, its destruction releases every suite holder.
//
// It serves the engine's own unit tests, which inspect single calls and
// throw from inside them. Other tests run the plug-in on the stand-in host
// (standin/host, tests/e2e/PluginRun.h), with its documents, descriptors and
// the failures of standin::FaultInjector; new tests belong there.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/PluginMessage.h"

namespace fake {

struct Value {
    enum class Kind { Integer, Float, UnitFloat, Enumerated };
    Kind kind = Kind::Integer;
    int32_t integer = 0;
    double number = 0.0;
    uint32_t unit = 0;
    uint32_t enumType = 0;
    uint32_t enumValue = 0;
    bool operator==(const Value& other) const;
};

Value Integer(int32_t value);
Value Float(double value);
Value UnitFloat(uint32_t unit, double value);
Value Enumerated(uint32_t type, uint32_t value);

struct Entry {
    uint32_t key;
    Value value;
    bool operator==(const Entry& other) const { return key == other.key && value == other.value; }
};
using Entries = std::vector<Entry>;

struct PlayedEvent {
    uint32_t event;
    Entries arguments;
    int32_t options;
};

// Operation names, as they appear in `calls` and in Fail/Throw.
namespace op {
constexpr const char* kAcquireSuite = "AcquireSuite";
constexpr const char* kReferenceMake = "Reference.Make";
constexpr const char* kReferenceFree = "Reference.Free";
constexpr const char* kReferencePutEnumerated = "Reference.PutEnumerated";
constexpr const char* kDescriptorMake = "Descriptor.Make";
constexpr const char* kDescriptorFree = "Descriptor.Free";
constexpr const char* kHasKey = "Descriptor.HasKey";
constexpr const char* kPutInteger = "Descriptor.PutInteger";
constexpr const char* kPutFloat = "Descriptor.PutFloat";
constexpr const char* kPutUnitFloat = "Descriptor.PutUnitFloat";
constexpr const char* kPutEnumerated = "Descriptor.PutEnumerated";
constexpr const char* kGetInteger = "Descriptor.GetInteger";
constexpr const char* kGetUnitFloat = "Descriptor.GetUnitFloat";
constexpr const char* kPlay = "Control.Play";
constexpr const char* kGet = "Control.Get";
constexpr const char* kStringIDToTypeID = "Control.StringIDToTypeID";
constexpr const char* kSuspendHistory = "Control.SuspendHistory";
constexpr const char* kGetPluginName = "UIHooks.GetPluginName";
}  // namespace op

class FakeHost {
public:
    FakeHost();
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    SPBasicSuite* Basic() { return &basic; }

    // The document Get reports: sizes in pixels, given to the plug-in as
    // points (1/72 inch) at `resolution`.
    void SetDocument(double widthPixels, double heightPixels, double resolution);
    void SetDocumentPoints(double widthPoints, double heightPoints, double resolution);
    // Get succeeds without a result descriptor.
    void AnswerGetWithoutResult() { getWithoutResult = true; }
    // Play hands back a result descriptor the plug-in must free.
    void AnswerPlayWithResult() { playWithResult = true; }

    // The `occurrence`-th call (1-based; 0 = every call) of `operation`
    // returns `code` without doing anything.
    void Fail(const std::string& operation, int32_t code, int occurrence = 0);
    // The `occurrence`-th call of `operation` runs `thrower` instead.
    void Throw(const std::string& operation, std::function<void()> thrower, int occurrence = 0);
    // Acquisition of the suite `name` fails with `code`; 0 lifts the failure.
    void FailSuite(const std::string& name, int32_t code);

    // A descriptor made by the host side (e.g. action parameters). It counts
    // as live until the plug-in frees it.
    ActionDescriptorHandle NewDescriptor(const Entries& entries);
    bool IsLive(ActionDescriptorHandle descriptor) const;
    const Entries& Contents(ActionDescriptorHandle descriptor) const;
    // Handles made and not yet freed, counting only those the plug-in made
    // (host-side descriptors handed over count too once the plug-in holds them).
    int LiveDescriptors() const { return static_cast<int>(descriptors.size()); }
    int LiveReferences() const { return static_cast<int>(references.size()); }

    // Call log, by operation name, in order.
    std::vector<std::string> calls;
    int CallCount(const std::string& operation) const;
    // Every Play call, failing ones included.
    std::vector<PlayedEvent> played;
    std::vector<std::string> misuse;
    std::vector<int32_t> callbackResults;
    std::vector<std::string> acquiredSuites;
    // IsEqual calls: (host string, text).
    std::vector<std::pair<std::string, std::string>> comparisons;
    ASZString suspendedName = nullptr;
    int32_t lastCallbackResult = 0;

    // The event id StringIDToTypeID gives for the moiré filter's string.
    static constexpr uint32_t kFilterEventId = 0x4B4D6E78;
    static ASZString PluginName();
    static SPPlugin* Plugin();

private:
    friend struct Tables;
    // Logs `operation` and answers with a scripted failure or throw: 0 when
    // the call is to go ahead.
    int32_t Enter(const std::string& operation);
    ActionDescriptorHandle MakeDescriptor(const Entries& entries);

    struct Fault {
        int32_t code;
        int occurrence;
        std::function<void()> thrower;
    };
    SPBasicSuite basic;
    std::map<std::string, std::vector<Fault>> faults;
    std::map<std::string, int32_t> suiteFailures;
    std::map<ActionDescriptorHandle, std::unique_ptr<Entries>> descriptors;
    std::map<ActionReferenceHandle, std::unique_ptr<Entries>> references;
    // Freed handles stay allocated so that no address is handed out twice.
    std::vector<std::unique_ptr<Entries>> graveyard;
    double documentWidthPoints = 720.0;
    double documentHeightPoints = 480.0;
    double documentResolution = 300.0;
    bool getWithoutResult = false;
    bool playWithResult = false;
};

// The live host.
FakeHost& Host();

}  // namespace fake
