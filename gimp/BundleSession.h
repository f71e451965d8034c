// The Decimora bundle inside the GIMP plug-in process: reduces the host
// images made from one GIMP image's drawables, one "Do It" each, all with
// the same step.
//
// The first image is reduced as the run mode asks: with the bundle's factor
// dialog (preset to the last step), with the factor as action parameters,
// or by playing the last step. Every later image replays the step the first
// run wrote back, without a dialog, so that every drawable is reduced alike.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runner/BundleRunner.h"
#include "runner/RunOutcome.h"

namespace gimphost {

enum class StepSource { dialog, factor, lastStep };

struct StepRequest {
    StepSource source = StepSource::factor;
    int32_t factor = 0;                          // for StepSource::factor
    std::optional<standin::Descriptor> lastStep;  // the dialog's preset, or the step to play
};

class BundleSession {
public:
    // Loads both bundles from `pluginFolder`. Throws std::runtime_error
    // naming the missing or refused bundle.
    BundleSession(const std::string& pluginFolder, StepRequest request);

    // Reduces `image` in place (it becomes the host's result only when the
    // run reduced it); `colorProfile` says how its samples encode light
    // (empty: they are filtered as they are). `progress` hears the filter's
    // progress, 0 to 1.
    runner::FileResult Reduce(const std::string& name, standin::Image& image, std::vector<uint8_t> colorProfile,
                              const std::function<void(double)>& progress);

    // The step the runs were made with (for the next WITH_LAST_VALS), once
    // one has reduced.
    const std::optional<standin::Descriptor>& Step() const { return step_; }
    uint32_t DecimoraEvent() const { return runner_.DecimoraEvent(); }

private:
    runner::DoItReport RunFirst(runner::TargetPixels& pixels, const runner::RunProgress& progress);
    runner::DoItReport RunAgain(runner::TargetPixels& pixels, const runner::RunProgress& progress);

    StepRequest request_;
    runner::BundleRunner runner_;
    std::optional<standin::Descriptor> step_;
};

}  // namespace gimphost
