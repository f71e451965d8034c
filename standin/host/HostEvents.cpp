// Events, properties and history: what the action control suite asks of the
// host.
#include <algorithm>
#include <new>

#include "host/FourCharCodes.h"
#include "standin/host/DocumentEvents.h"
#include "standin/host/Host.h"
#include "host/HostResults.h"

namespace standin {

namespace {

// Play's dialog options: 1 all dialogs, 2 none, 3 only error dialogs. The
// host shows no dialogs at all, but refuses other values.
bool IsValidDialogOption(PlayDialogOptions options) { return options >= 1 && options <= 3; }

}  // namespace

std::optional<DescriptorEventID> Host::EventForString(const std::string& stringId) const {
    auto found = stringIds_.find(stringId);
    if (found == stringIds_.end()) return std::nullopt;
    return found->second;
}

std::string Host::EventName(DescriptorEventID event) const {
    for (const auto& plugin : plugins_) {
        if (plugin->EventId() == event && plugin->Kind() == PluginKind::filter) return plugin->Info().eventString;
    }
    return CodeText(event);
}

int32_t Host::Play(DescriptorEventID event, const Descriptor& arguments, PlayDialogOptions options,
                   Descriptor* result) {
    int32_t code = 0;
    try {
        code = DispatchEvent(event, arguments, options);
    } catch (const std::bad_alloc& error) {
        // The event's new pixels could not be had, in memory or in a scratch
        // file; the event changed nothing.
        code = OutOfMemory(error);
    }
    // Recorded once finished: a replayed plug-in may start a run, which
    // clears the list, and the events it plays come before its own.
    run_.playedEvents.push_back(PlayedEvent{event, EventName(event), arguments, options, code});
    if (code == 0 && result != nullptr) *result = arguments;
    return code;
}

int32_t Host::DispatchEvent(DescriptorEventID event, const Descriptor& arguments, PlayDialogOptions options) {
    if (!IsValidDialogOption(options)) return host::kBadParameter;
    // An image size may take a filter's result at its samples only; every
    // other event sees the filtered pixels.
    if (event == fourcc::kImageSizeEvent) return PlayImageSizeOnTarget(arguments);
    Plugin* plugin = PluginForEvent(event);
    if (event != fourcc::kCanvasSizeEvent && plugin == nullptr) return host::kEventNotHandled;
    if (int32_t code = FinishDeferredFilter()) return code;
    if (event == fourcc::kCanvasSizeEvent) return PlayOnTarget("Canvas Size", PlayCanvasSize, arguments);
    if (plugin->Kind() == PluginKind::filter) return PlayFilter(*plugin, arguments);
    // A recorded step of an automation plug-in: run it again with its
    // descriptor. What it writes back is not recorded again.
    ScriptParameters parameters;
    parameters.playInfo = options == 1 ? host::kPlayInfoShowDialog : 0;
    parameters.descriptor = arguments;
    return DoIt(*plugin, parameters).result;
}

int32_t Host::PlayOnTarget(const char* historyName, int32_t (*play)(const Descriptor&, Image&),
                           const Descriptor& arguments) {
    if (target_ == nullptr) return host::kNoTargetDocument;
    const int32_t code = play(arguments, target_->image);
    if (code == 0 && !historySuspended_) target_->history.push_back(historyName);
    return code;
}

int32_t Host::GetProperties(const Reference& reference, Descriptor* properties) {
    if (!AddressesTargetDocument(reference)) return host::kBadParameter;
    if (target_ == nullptr) return host::kNoTargetDocument;
    const Image& image = target_->image;
    const double pointsPerPixel = 72.0 / image.Resolution();
    properties->PutUnitFloat(fourcc::kResolution, fourcc::kUnitDensity, image.Resolution());
    properties->PutUnitFloat(fourcc::kWidth, fourcc::kUnitRelative, image.Width() * pointsPerPixel);
    properties->PutUnitFloat(fourcc::kHeight, fourcc::kUnitRelative, image.Height() * pointsPerPixel);
    return 0;
}

int32_t Host::SuspendHistory(const Reference& reference, HistoryCallback callback, void* data,
                             const std::string& name) {
    if (callback == nullptr || !AddressesTargetDocument(reference)) return host::kBadParameter;
    if (target_ == nullptr) return host::kNoTargetDocument;
    if (historySuspended_) return host::kBusy;
    Document& document = *target_;
    const Image snapshot = document.image;
    historySuspended_ = true;
    int32_t result = 0;
    try {
        result = callback(data);
    } catch (...) {
        RecordError("an exception escaped the history callback");
        result = host::kPluginThrew;
    }
    // A filter still deferred is run now, or dropped with the failed run.
    if (result == 0) {
        result = FinishDeferredFilter();
    } else {
        deferredFilter_.reset();
    }
    historySuspended_ = false;
    lastHistoryResult_ = result;
    run_.historyResult = result;
    if (result == 0) {
        document.history.push_back(name);
    } else {
        document.image = snapshot;
    }
    return 0;
}

}  // namespace standin
