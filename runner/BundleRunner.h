// The stand-in host with the Decimora and filter bundles loaded, and one
// document that each run borrows a caller's pixels in: "Do It" is sent (or
// a recorded step played) on them, and the run comes back as a report.
//
// The host is built once per process; the plug-in's globals assume one call
// at a time, so a BundleRunner is used from one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runner/DoItReport.h"
#include "standin/host/Host.h"

namespace runner {

// The pixels a run works on, and what the host's document shows with them.
struct TargetPixels {
    std::string name;
    standin::Image image;
    // How the samples encode light (ICC bytes); empty: they are filtered as
    // they are.
    std::vector<uint8_t> colorProfile;
};

// Hears the filter's progress, 0 to 1; may be empty.
using RunProgress = std::function<void(double)>;

class BundleRunner {
public:
    // Loads both bundles from `pluginFolder`. Throws std::runtime_error
    // naming the bundle and the reason.
    explicit BundleRunner(const std::string& pluginFolder);

    // Sends "Do It" with `parameters` (none: an interactive run without a
    // preset). `pixels.image` comes back reduced, or as it was when the run
    // failed (the host put it back).
    DoItReport DoIt(TargetPixels& pixels, const std::optional<standin::ScriptParameters>& parameters,
                    const RunProgress& progress);
    // Plays a recorded step of the Decimora plug-in, without its dialog.
    DoItReport Play(TargetPixels& pixels, const standin::Descriptor& step, const RunProgress& progress);

    uint32_t DecimoraEvent() const { return decimora_->EventId(); }

private:
    // Runs `request` with `pixels` in the document; it answers the entry
    // result and may fill in the recorded step.
    DoItReport Run(TargetPixels& pixels, const RunProgress& progress,
                   const std::function<int32_t(DoItReport&)>& request);

    standin::Host host_;
    standin::Plugin* decimora_ = nullptr;
    // The host keeps every document it opens until it is destroyed, so one
    // document takes each run's pixels in turn.
    standin::Document* document_ = nullptr;
};

}  // namespace runner
