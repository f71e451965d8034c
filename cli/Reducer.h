// Reduces image files one after another with the Decimora plug-in in a
// stand-in host of its own: each file is opened as the host's target
// document, the plug-in is sent "Do It" (or its recorded step is played), and
// the result is written in the input's format with its metadata, or in the
// format another extension of the output names (OutputFormat.h). Every page
// of a file of several is reduced, the later ones by replaying the step the
// first one's run recorded, and the pages are written together.
//
// The bundles are run by a BundleRunner of its own, so a Reducer is used
// from one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cli/EarlyRead.h"
#include "cli/OutputPlan.h"
#include "cli/ToneMode.h"
#include "imagefiles/ImageFile.h"
#include "runner/BundleRunner.h"
#include "runner/RecordedStep.h"
#include "runner/RunOutcome.h"
#include "standin/host/Host.h"

namespace cli {

// How every file of a run is reduced.
struct ReduceSettings {
    std::string pluginFolder;
    // Scripted or interactive "Do It": the action parameters to send (none
    // for an interactive run without a preset).
    std::optional<standin::ScriptParameters> parameters;
    // Set instead to play a recorded step.
    std::optional<runner::RecordedStep> replay;
    int quality = 92;  // of lossy outputs: JPEG and lossy WebP
    ToneMode tone = ToneMode::light;
    // The largest image read, in pixels; unset: the image readers' default.
    std::optional<uint64_t> maxPixels;
    bool force = false;    // replace existing outputs
    bool inPlace = false;  // outputs replace their inputs
    std::string recordFile;
};

// How the files of a run are read.
imagefiles::ReadOptions FileReadOptions(const ReduceSettings& settings);

// Called with the current file's progress, 0 to 1; may be empty.
using ProgressCallback = std::function<void(double)>;

class Reducer {
public:
    // Loads the Decimora and filter bundles from the plug-in folder. Throws
    // std::runtime_error naming the bundle and the reason.
    explicit Reducer(const ReduceSettings& settings);

    // Never throws for a problem of the file, the plug-in or the output:
    // those end in a failed or cancelled result. `early`, if given, is the
    // job's input being read already.
    runner::FileResult Reduce(const FileJob& job, const ProgressCallback& progress, EarlyRead* early = nullptr);

private:
    // One page's reduction: its outcome, the page when it was reduced, and
    // the step the plug-in recorded.
    struct PageResult {
        runner::FileResult outcome;
        imagefiles::ImageFile page;
        std::optional<standin::Descriptor> recorded;
    };

    runner::FileResult ReduceFile(const FileJob& job, const ProgressCallback& progress, EarlyRead* early);
    PageResult ReducePage(const std::string& subject, imagefiles::ImageFile&& file, const ProgressCallback& progress,
                          const std::optional<standin::Descriptor>& firstPageStep, std::string* remarks);
    runner::DoItReport RunPlugin(runner::TargetPixels& pixels, const std::optional<standin::Descriptor>& firstPageStep,
                                 const runner::RunProgress& progress);
    // The factor of a run without dialog, when it is known before the run.
    std::optional<int32_t> KnownFactor() const;
    void CheckOutputAllowed(const FileJob& job) const;

    ReduceSettings settings_;
    runner::BundleRunner runner_;
};

}  // namespace cli
