#include "gimp/BundleSession.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "host/FourCharCodes.h"
#include "runner/PluginBundles.h"

namespace gimphost {

namespace {

void CheckBundle(const std::string& folder, const char* bundle) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder + "/" + bundle, error)) {
        throw std::runtime_error(std::string(bundle) + " is missing from " + folder +
                                 " (reinstall decimora-gimp, or point DECIMORA_PLUGIN_DIR at the bundles)");
    }
}

// The folder, once both bundles are seen in it, so that a missing one is
// named with how to put it back.
std::string CheckedPluginFolder(const std::string& folder) {
    CheckBundle(folder, runner::kDecimoraBundle);
    CheckBundle(folder, runner::kFilterBundle);
    return folder;
}

}  // namespace

BundleSession::BundleSession(const std::string& pluginFolder, StepRequest request)
    : request_(std::move(request)), runner_(CheckedPluginFolder(pluginFolder)) {}

runner::FileResult BundleSession::Reduce(const std::string& name, standin::Image& image,
                                         std::vector<uint8_t> colorProfile,
                                         const std::function<void(double)>& progress) {
    runner::TargetPixels pixels{name, std::move(image), std::move(colorProfile)};
    const runner::DoItReport report = step_ ? RunAgain(pixels, progress) : RunFirst(pixels, progress);
    runner::FileResult result = runner::JudgeRun(report, name);
    if (result.outcome == runner::Outcome::reduced && !step_) {
        result = {runner::Outcome::failed, name + ": the Decimora plug-in left no step to repeat"};
    }
    // The pixels come back: the result, or the untouched original when the
    // run failed (the host put it back).
    image = std::move(pixels.image);
    return result;
}

runner::DoItReport BundleSession::RunFirst(runner::TargetPixels& pixels, const runner::RunProgress& progress) {
    if (request_.source == StepSource::lastStep) {
        runner::DoItReport report = runner_.Play(pixels, *request_.lastStep, progress);
        if (report.entryResult == 0) step_ = request_.lastStep;
        return report;
    }
    standin::ScriptParameters parameters;
    if (request_.source == StepSource::dialog) {
        parameters.playInfo = host::kPlayInfoShowDialog;
        parameters.descriptor = request_.lastStep;
    } else {
        parameters.descriptor = standin::Descriptor().PutInteger(fourcc::kFactorKey, request_.factor);
    }
    runner::DoItReport report = runner_.DoIt(pixels, parameters, progress);
    step_ = report.recordedStep;
    return report;
}

runner::DoItReport BundleSession::RunAgain(runner::TargetPixels& pixels, const runner::RunProgress& progress) {
    standin::ScriptParameters parameters;
    parameters.descriptor = step_;
    return runner_.DoIt(pixels, parameters, progress);
}

}  // namespace gimphost
