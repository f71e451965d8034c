#include "FakeHost.h"

#include <cstring>
#include <stdexcept>

#include "host/SuiteHolders.h"

namespace fake {

namespace {
FakeHost* current = nullptr;
char pluginNameToken;
char pluginToken;
}  // namespace

bool Value::operator==(const Value& other) const {
    if (kind != other.kind) return false;
    switch (kind) {
        case Kind::Integer: return integer == other.integer;
        case Kind::Float: return number == other.number;
        case Kind::UnitFloat: return unit == other.unit && number == other.number;
        case Kind::Enumerated: return enumType == other.enumType && enumValue == other.enumValue;
    }
    return false;
}

Value Integer(int32_t value) {
    Value v;
    v.kind = Value::Kind::Integer;
    v.integer = value;
    return v;
}

Value Float(double value) {
    Value v;
    v.kind = Value::Kind::Float;
    v.number = value;
    return v;
}

Value UnitFloat(uint32_t unit, double value) {
    Value v;
    v.kind = Value::Kind::UnitFloat;
    v.unit = unit;
    v.number = value;
    return v;
}

Value Enumerated(uint32_t type, uint32_t value) {
    Value v;
    v.kind = Value::Kind::Enumerated;
    v.enumType = type;
    v.enumValue = value;
    return v;
}

FakeHost& Host() { return *current; }
ASZString FakeHost::PluginName() { return reinterpret_cast<ASZString>(&pluginNameToken); }
SPPlugin* FakeHost::Plugin() { return reinterpret_cast<SPPlugin*>(&pluginToken); }

// The suite tables: plain functions that reach the live host.
struct Tables {
    static FakeHost& H() { return *current; }

    static Entries* Find(ActionDescriptorHandle d) {
        auto found = H().descriptors.find(d);
        return found == H().descriptors.end() ? nullptr : found->second.get();
    }

    static int16_t Put(const char* operation, ActionDescriptorHandle d, uint32_t key, const Value& value) {
        if (int32_t code = H().Enter(operation)) return static_cast<int16_t>(code);
        Entries* entries = Find(d);
        if (entries == nullptr) {
            H().misuse.push_back(std::string(operation) + " into a descriptor that is not live");
            return -1;
        }
        for (Entry& entry : *entries) {
            if (entry.key == key) {
                entry.value = value;
                return 0;
            }
        }
        entries->push_back({key, value});
        return 0;
    }

    static const Value* Lookup(ActionDescriptorHandle d, uint32_t key) {
        Entries* entries = Find(d);
        if (entries == nullptr) return nullptr;
        for (const Entry& entry : *entries)
            if (entry.key == key) return &entry.value;
        return nullptr;
    }

    // --- basic suite -------------------------------------------------------
    static int32_t AcquireSuite(const char* name, int32_t version, const void** table) {
        if (int32_t code = H().Enter(op::kAcquireSuite)) return code;
        H().acquiredSuites.push_back(name);
        auto failure = H().suiteFailures.find(name);
        if (failure != H().suiteFailures.end()) return failure->second;
        if (std::strcmp(name, kActionDescriptorSuiteName) == 0 && version == kActionDescriptorSuiteVersion)
            *table = &descriptorSuite;
        else if (std::strcmp(name, kActionReferenceSuiteName) == 0 && version == kActionReferenceSuiteVersion)
            *table = &referenceSuite;
        else if (std::strcmp(name, kActionControlSuiteName) == 0 && version == kActionControlSuiteVersion)
            *table = &controlSuite;
        else if (std::strcmp(name, kUIHooksSuiteName) == 0 && version == kUIHooksSuiteVersion)
            *table = &uiHooksSuite;
        else
            return -1;
        return 0;
    }
    static int32_t ReleaseSuite(const char*, int32_t) { return 0; }
    static HostBoolean IsEqual(const char* token, const char* text) {
        H().comparisons.emplace_back(token, text);
        return std::strcmp(token, text) == 0;
    }

    // --- reference suite ---------------------------------------------------
    static int16_t ReferenceMake(ActionReferenceHandle* reference) {
        if (int32_t code = H().Enter(op::kReferenceMake)) return static_cast<int16_t>(code);
        auto entries = std::make_unique<Entries>();
        *reference = reinterpret_cast<ActionReferenceHandle>(entries.get());
        H().references[*reference] = std::move(entries);
        return 0;
    }
    static int16_t ReferenceFree(ActionReferenceHandle reference) {
        if (int32_t code = H().Enter(op::kReferenceFree)) return static_cast<int16_t>(code);
        auto found = H().references.find(reference);
        if (found == H().references.end()) {
            H().misuse.push_back("free of a reference that is not live");
            return -1;
        }
        H().graveyard.push_back(std::move(found->second));
        H().references.erase(found);
        return 0;
    }
    static int16_t ReferencePutEnumerated(ActionReferenceHandle reference, DescriptorClassID desiredClass,
                                          DescriptorEnumTypeID type, DescriptorEnumID value) {
        if (int32_t code = H().Enter(op::kReferencePutEnumerated)) return static_cast<int16_t>(code);
        auto found = H().references.find(reference);
        if (found == H().references.end()) {
            H().misuse.push_back("put into a reference that is not live");
            return -1;
        }
        found->second->push_back({desiredClass, Enumerated(type, value)});
        return 0;
    }

    // --- descriptor suite --------------------------------------------------
    static int16_t DescriptorMake(ActionDescriptorHandle* descriptor) {
        if (int32_t code = H().Enter(op::kDescriptorMake)) return static_cast<int16_t>(code);
        *descriptor = H().MakeDescriptor({});
        return 0;
    }
    static int16_t DescriptorFree(ActionDescriptorHandle descriptor) {
        if (int32_t code = H().Enter(op::kDescriptorFree)) return static_cast<int16_t>(code);
        auto found = H().descriptors.find(descriptor);
        if (found == H().descriptors.end()) {
            H().misuse.push_back("free of a descriptor that is not live");
            return -1;
        }
        H().graveyard.push_back(std::move(found->second));
        H().descriptors.erase(found);
        return 0;
    }
    static int16_t HasKey(ActionDescriptorHandle d, DescriptorKeyID key, HostBoolean* hasKey) {
        if (int32_t code = H().Enter(op::kHasKey)) return static_cast<int16_t>(code);
        *hasKey = Lookup(d, key) != nullptr;
        return 0;
    }
    static int16_t PutInteger(ActionDescriptorHandle d, DescriptorKeyID key, int32_t value) {
        return Put(op::kPutInteger, d, key, Integer(value));
    }
    static int16_t PutFloat(ActionDescriptorHandle d, DescriptorKeyID key, double value) {
        return Put(op::kPutFloat, d, key, Float(value));
    }
    static int16_t PutUnitFloat(ActionDescriptorHandle d, DescriptorKeyID key, DescriptorUnitID unit, double value) {
        return Put(op::kPutUnitFloat, d, key, UnitFloat(unit, value));
    }
    static int16_t PutEnumerated(ActionDescriptorHandle d, DescriptorKeyID key, DescriptorEnumTypeID type,
                                 DescriptorEnumID value) {
        return Put(op::kPutEnumerated, d, key, Enumerated(type, value));
    }
    static int16_t GetInteger(ActionDescriptorHandle d, DescriptorKeyID key, int32_t* value) {
        if (int32_t code = H().Enter(op::kGetInteger)) return static_cast<int16_t>(code);
        const Value* found = Lookup(d, key);
        if (found == nullptr || found->kind != Value::Kind::Integer) return -1715;
        *value = found->integer;
        return 0;
    }
    static int16_t GetUnitFloat(ActionDescriptorHandle d, DescriptorKeyID key, DescriptorUnitID* unit, double* value) {
        if (int32_t code = H().Enter(op::kGetUnitFloat)) return static_cast<int16_t>(code);
        const Value* found = Lookup(d, key);
        if (found == nullptr || found->kind != Value::Kind::UnitFloat) return -1715;
        *unit = found->unit;
        *value = found->number;
        return 0;
    }

    // --- control suite -----------------------------------------------------
    static int16_t Play(ActionDescriptorHandle* result, DescriptorEventID event, ActionDescriptorHandle d,
                        PlayDialogOptions options) {
        Entries* arguments = Find(d);
        H().played.push_back({event, arguments ? *arguments : Entries{}, options});
        if (int32_t code = H().Enter(op::kPlay)) return static_cast<int16_t>(code);
        if (arguments == nullptr) H().misuse.push_back("play with a descriptor that is not live");
        if (H().playWithResult) *result = H().MakeDescriptor({});
        return 0;
    }
    static int16_t Get(ActionDescriptorHandle* result, ActionReferenceHandle reference) {
        if (int32_t code = H().Enter(op::kGet)) return static_cast<int16_t>(code);
        if (H().references.find(reference) == H().references.end())
            H().misuse.push_back("get with a reference that is not live");
        if (H().getWithoutResult) return 0;
        *result = H().MakeDescriptor({
            {fourcc::kResolution, UnitFloat(fourcc::kUnitDensity, H().documentResolution)},
            {fourcc::kWidth, UnitFloat(fourcc::kUnitRelative, H().documentWidthPoints)},
            {fourcc::kHeight, UnitFloat(fourcc::kUnitRelative, H().documentHeightPoints)},
        });
        return 0;
    }
    static int16_t StringIDToTypeID(const char* stringID, DescriptorTypeID* typeID) {
        if (int32_t code = H().Enter(op::kStringIDToTypeID)) return static_cast<int16_t>(code);
        if (std::strcmp(stringID, "Korvan Moirenix") != 0) return -1;
        *typeID = FakeHost::kFilterEventId;
        return 0;
    }
    static int16_t SuspendHistory(ActionReferenceHandle, HistoryCallback callback, void* data, ASZString name) {
        if (int32_t code = H().Enter(op::kSuspendHistory)) return static_cast<int16_t>(code);
        H().suspendedName = name;
        const int32_t result = callback(data);
        H().callbackResults.push_back(result);
        H().lastCallbackResult = result;
        return 0;
    }

    // --- UI hooks suite ----------------------------------------------------
    static int32_t GetPluginName(SPPlugin* plugin, ASZString* name) {
        if (int32_t code = H().Enter(op::kGetPluginName)) return code;
        if (plugin != FakeHost::Plugin()) H().misuse.push_back("name asked for an unknown plug-in");
        *name = FakeHost::PluginName();
        return 0;
    }

    static ActionDescriptorSuite descriptorSuite;
    static ActionReferenceSuite referenceSuite;
    static ActionControlSuite controlSuite;
    static UIHooksSuite uiHooksSuite;
};

ActionDescriptorSuite Tables::descriptorSuite = [] {
    ActionDescriptorSuite suite{};
    suite.Make = &DescriptorMake;
    suite.Free = &DescriptorFree;
    suite.HasKey = &HasKey;
    suite.PutInteger = &PutInteger;
    suite.PutFloat = &PutFloat;
    suite.PutUnitFloat = &PutUnitFloat;
    suite.PutEnumerated = &PutEnumerated;
    suite.GetInteger = &GetInteger;
    suite.GetUnitFloat = &GetUnitFloat;
    return suite;
}();

ActionReferenceSuite Tables::referenceSuite = [] {
    ActionReferenceSuite suite{};
    suite.Make = &ReferenceMake;
    suite.Free = &ReferenceFree;
    suite.PutEnumerated = &ReferencePutEnumerated;
    return suite;
}();

ActionControlSuite Tables::controlSuite = [] {
    ActionControlSuite suite{};
    suite.Play = &Play;
    suite.Get = &Get;
    suite.StringIDToTypeID = &StringIDToTypeID;
    suite.SuspendHistory = &SuspendHistory;
    return suite;
}();

UIHooksSuite Tables::uiHooksSuite = [] {
    UIHooksSuite suite{};
    suite.GetPluginName = &GetPluginName;
    return suite;
}();

FakeHost::FakeHost() : basic{&Tables::AcquireSuite, &Tables::ReleaseSuite, &Tables::IsEqual} {
    if (current != nullptr) throw std::logic_error("one FakeHost at a time");
    current = this;
    sSPBasic = &basic;
}

FakeHost::~FakeHost() {
    sSPBasic = &basic;
    PIUSuitesRelease();
    sSPBasic = nullptr;
    current = nullptr;
}

void FakeHost::SetDocument(double widthPixels, double heightPixels, double resolution) {
    SetDocumentPoints(widthPixels * 72.0 / resolution, heightPixels * 72.0 / resolution, resolution);
}

void FakeHost::SetDocumentPoints(double widthPoints, double heightPoints, double resolution) {
    documentWidthPoints = widthPoints;
    documentHeightPoints = heightPoints;
    documentResolution = resolution;
}

void FakeHost::Fail(const std::string& operation, int32_t code, int occurrence) {
    faults[operation].push_back({code, occurrence, nullptr});
}

void FakeHost::Throw(const std::string& operation, std::function<void()> thrower, int occurrence) {
    faults[operation].push_back({0, occurrence, std::move(thrower)});
}

void FakeHost::FailSuite(const std::string& name, int32_t code) {
    if (code == 0)
        suiteFailures.erase(name);
    else
        suiteFailures[name] = code;
}

int32_t FakeHost::Enter(const std::string& operation) {
    calls.push_back(operation);
    auto found = faults.find(operation);
    if (found == faults.end()) return 0;
    const int occurrence = CallCount(operation);
    for (const Fault& fault : found->second) {
        if (fault.occurrence != 0 && fault.occurrence != occurrence) continue;
        if (fault.thrower) fault.thrower();
        return fault.code;
    }
    return 0;
}

int FakeHost::CallCount(const std::string& operation) const {
    int count = 0;
    for (const std::string& call : calls)
        if (call == operation) ++count;
    return count;
}

ActionDescriptorHandle FakeHost::MakeDescriptor(const Entries& entries) {
    auto stored = std::make_unique<Entries>(entries);
    auto handle = reinterpret_cast<ActionDescriptorHandle>(stored.get());
    descriptors[handle] = std::move(stored);
    return handle;
}

ActionDescriptorHandle FakeHost::NewDescriptor(const Entries& entries) { return MakeDescriptor(entries); }

bool FakeHost::IsLive(ActionDescriptorHandle descriptor) const { return descriptors.count(descriptor) != 0; }

const Entries& FakeHost::Contents(ActionDescriptorHandle descriptor) const {
    static const Entries kNone;
    auto found = descriptors.find(descriptor);
    return found == descriptors.end() ? kNone : *found->second;
}

}  // namespace fake
