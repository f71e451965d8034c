// An automation module for the host's tests. "Do It" reduces the target
// document by the factor under 'Rt  ' (default 2) inside one history block,
// the way the real plug-in drives a host: measure, crop, (filter,) resize,
// and write the factor back. The integer 'Mode' makes it misbehave on
// purpose, so the tests can see the host notice.
#include <cstdint>
#include <stdexcept>

#include "host/PluginMessage.h"
#include "host/SuiteHolders.h"

namespace {

enum Mode : int32_t {
    kNormal = 0,
    kLeakDescriptor = 1,
    kFreeTwice = 2,
    kFailAfterChanges = 3,
    kThrowOutOfEntry = 4,
    kWithFilter = 5,
    kCallReservedSlot = 6,
};

constexpr uint32_t kModeKey = fourcc::Make("Mode");

// A failed host call: its code travels as an int32_t exception.
void Check(int32_t result) {
    if (result != 0) throw result;
}

struct DescriptorHolder {
    ActionDescriptorHandle handle = nullptr;
    ~DescriptorHolder() {
        try {
            if (handle != nullptr) sPSActionDescriptor->Free(handle);
        } catch (...) {
        }
    }
};

struct ReferenceHolder {
    ActionReferenceHandle handle = nullptr;
    ~ReferenceHolder() {
        try {
            if (handle != nullptr) sPSActionReference->Free(handle);
        } catch (...) {
        }
    }
};

struct Run {
    PSActionsPlugInMessage* message;
    ActionReferenceHandle reference;
    int32_t factor;
    int32_t mode;
};

void Play(DescriptorEventID event, ActionDescriptorHandle arguments) {
    DescriptorHolder result;
    Check(sPSActionControl->Play(&result.handle, event, arguments, host::kDisplayNoDialogs));
}

double ReadUnitFloat(ActionDescriptorHandle descriptor, DescriptorKeyID key) {
    DescriptorUnitID unit = fourcc::kUnitPixels;
    double value = 0;
    Check(sPSActionDescriptor->GetUnitFloat(descriptor, key, &unit, &value));
    return value;
}

void WriteBack(Run& run) {
    ActionParameters* parameters = run.message->actionParameters;
    if (parameters == nullptr) return;
    DescriptorHolder written;
    Check(sPSActionDescriptor->Make(&written.handle));
    Check(sPSActionDescriptor->PutInteger(written.handle, fourcc::kFactorKey, run.factor));
    if (parameters->descriptor != nullptr) sPSActionDescriptor->Free(parameters->descriptor);
    parameters->descriptor = written.handle;
    parameters->recordInfo = 0;
    written.handle = nullptr;
}

int32_t Reduce(Run& run) {
    WriteBack(run);
    DescriptorHolder properties;
    Check(sPSActionControl->Get(&properties.handle, run.reference));
    const double resolution = ReadUnitFloat(properties.handle, fourcc::kResolution);
    const int32_t width = static_cast<int32_t>(ReadUnitFloat(properties.handle, fourcc::kWidth) * resolution / 72 + 0.5);
    const int32_t height =
        static_cast<int32_t>(ReadUnitFloat(properties.handle, fourcc::kHeight) * resolution / 72 + 0.5);
    if (run.mode == kFreeTwice) sPSActionDescriptor->Free(properties.handle);
    if (run.mode == kLeakDescriptor) {
        ActionDescriptorHandle leaked = nullptr;
        sPSActionDescriptor->Make(&leaked);
    }
    if (run.mode == kCallReservedSlot) sPSActionDescriptor->reserved3();

    DescriptorHolder crop;
    Check(sPSActionDescriptor->Make(&crop.handle));
    Check(sPSActionDescriptor->PutUnitFloat(crop.handle, fourcc::kWidth, fourcc::kUnitPixels,
                                            width - width % run.factor));
    Check(sPSActionDescriptor->PutUnitFloat(crop.handle, fourcc::kHeight, fourcc::kUnitPixels,
                                            height - height % run.factor));
    Check(sPSActionDescriptor->PutEnumerated(crop.handle, fourcc::kHorizontal, fourcc::kHorizontalLocation,
                                             fourcc::kLeft));
    Check(sPSActionDescriptor->PutEnumerated(crop.handle, fourcc::kVertical, fourcc::kVerticalLocation, fourcc::kTop));
    Play(fourcc::kCanvasSizeEvent, crop.handle);

    if (run.mode == kWithFilter) {
        DescriptorHolder filter;
        Check(sPSActionDescriptor->Make(&filter.handle));
        Check(sPSActionDescriptor->PutFloat(filter.handle, fourcc::kFilterValue, 1.0));
        DescriptorTypeID event = 0;
        Check(sPSActionControl->StringIDToTypeID("Standin Test Filter", &event));
        Play(event, filter.handle);
    }

    DescriptorHolder resize;
    Check(sPSActionDescriptor->Make(&resize.handle));
    Check(sPSActionDescriptor->PutUnitFloat(resize.handle, fourcc::kWidth, fourcc::kUnitPixels, width / run.factor));
    Check(sPSActionDescriptor->PutUnitFloat(resize.handle, fourcc::kHeight, fourcc::kUnitPixels,
                                            height / run.factor));
    Check(sPSActionDescriptor->PutEnumerated(resize.handle, fourcc::kInterpolation, fourcc::kInterpolationType,
                                             fourcc::kNearestNeighbor));
    Play(fourcc::kImageSizeEvent, resize.handle);
    return run.mode == kFailAfterChanges ? -1 : 0;
}

int32_t HistoryCallback(void* data) {
    try {
        return Reduce(*static_cast<Run*>(data));
    } catch (int32_t code) {
        return code;
    } catch (...) {
        return static_cast<int32_t>(fourcc::kFbar);
    }
}

// Reads 'Rt  ' and 'Mode' from the action parameters; absent values keep
// their defaults.
void ReadParameters(Run& run) {
    ActionParameters* parameters = run.message->actionParameters;
    if (parameters == nullptr || parameters->descriptor == nullptr) return;
    sPSActionDescriptor->GetInteger(parameters->descriptor, fourcc::kFactorKey, &run.factor);
    sPSActionDescriptor->GetInteger(parameters->descriptor, kModeKey, &run.mode);
    if (run.factor < 1) run.factor = 2;
}

int32_t DoIt(PSActionsPlugInMessage* message) {
    Run run{message, nullptr, 2, kNormal};
    ReadParameters(run);
    if (run.mode == kThrowOutOfEntry) throw std::runtime_error("escapes on purpose");
    ReferenceHolder reference;
    Check(sPSActionReference->Make(&reference.handle));
    Check(sPSActionReference->PutEnumerated(reference.handle, fourcc::kDocument, fourcc::kOrdinal, fourcc::kTarget));
    ASZString name = nullptr;
    Check(sPSUIHooks->GetPluginName(message->plugin, &name));
    run.reference = reference.handle;
    sPSActionControl->SuspendHistory(reference.handle, HistoryCallback, &run, name);
    return 0;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t AutoPluginMain(const char* caller, const char* selector,
                                                                       void* message) {
    auto* header = static_cast<PluginMessageHeader*>(message);
    sSPBasic = header->basic;
    try {
        if (sSPBasic->IsEqual(caller, host::kInterfaceCaller) && sSPBasic->IsEqual(selector, host::kAboutSelector)) {
            sPSFileList->BrowseUrl("http://standin.test/about");
            return 0;
        }
        if (sSPBasic->IsEqual(caller, host::kPhotoshopCaller) && sSPBasic->IsEqual(selector, host::kDoItSelector)) {
            return DoIt(static_cast<PSActionsPlugInMessage*>(message));
        }
        return 0;
    } catch (int32_t code) {
        return code;
    } catch (uint32_t code) {
        return static_cast<int32_t>(code);
    }
}
