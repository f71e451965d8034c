// Reduces image files one after another with the Decimora plug-in in a
// stand-in host of its own: each file is opened as the host's target
// document, the plug-in is sent "Do It" (or its recorded step is played), and
// the result is written in the input's format with its metadata, or in the
// format another extension of the output names (OutputFormat.h). Every page
// of a file of several is reduced, the later ones by replaying the step the
// first one's run recorded, and the pages are written together.
//
// The host is built once per process; the plug-in's globals assume one call
// at a time, so a Reducer is used from one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cli/OutputPlan.h"
#include "cli/RecordedStep.h"
#include "cli/RunOutcome.h"
#include "cli/ToneMode.h"
#include "imagefiles/ImageFile.h"
#include "standin/host/Host.h"

namespace cli {

// How every file of a run is reduced.
struct ReduceSettings {
    std::string pluginFolder;
    // Scripted or interactive "Do It": the action parameters to send (none
    // for an interactive run without a preset).
    std::optional<standin::ScriptParameters> parameters;
    // Set instead to play a recorded step.
    std::optional<RecordedStep> replay;
    int quality = 92;  // of lossy outputs: JPEG and lossy WebP
    ToneMode tone = ToneMode::light;
    // The largest image read, in pixels; unset: the image readers' default.
    std::optional<uint64_t> maxPixels;
    bool force = false;    // replace existing outputs
    bool inPlace = false;  // outputs replace their inputs
    std::string recordFile;
};

// Called with the current file's progress, 0 to 1; may be empty.
using ProgressCallback = std::function<void(double)>;

class Reducer {
public:
    // Loads the Decimora and filter bundles from the plug-in folder. Throws
    // std::runtime_error naming the bundle and the reason.
    explicit Reducer(const ReduceSettings& settings);

    // Never throws for a problem of the file, the plug-in or the output:
    // those end in a failed or cancelled result.
    FileResult Reduce(const FileJob& job, const ProgressCallback& progress);

private:
    struct PluginRun {
        int32_t entryResult = 0;
        // The descriptor the plug-in left in the action parameters.
        std::optional<standin::Descriptor> recorded;
    };

    // One page's reduction: its outcome and, when it was reduced, the page.
    struct PageResult {
        FileResult outcome;
        imagefiles::ImageFile page;
        PluginRun run;
    };

    FileResult ReduceFile(const FileJob& job, const ProgressCallback& progress);
    PageResult ReducePage(const std::string& subject, imagefiles::ImageFile&& file, const ProgressCallback& progress,
                          const std::optional<standin::Descriptor>& firstPageStep, std::string* remarks);
    PluginRun RunPlugin(const std::optional<standin::Descriptor>& firstPageStep);
    // The factor of a run without dialog, when it is known before the run.
    std::optional<int32_t> KnownFactor() const;
    void CheckOutputAllowed(const FileJob& job) const;

    ReduceSettings settings_;
    standin::Host host_;
    standin::Plugin* decimora_ = nullptr;
    // The one document every file is reduced in (see TargetDocument).
    standin::Document* document_ = nullptr;
};

}  // namespace cli
