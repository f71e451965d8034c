#include "gimp/BundleSession.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "cli/PluginFolder.h"
#include "host/FourCharCodes.h"

namespace gimphost {

namespace {

std::string BundlePath(const std::string& folder, const char* bundle) {
    const std::string path = folder + "/" + bundle;
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
        throw std::runtime_error(std::string(bundle) + " is missing from " + folder +
                                 " (reinstall decimora-gimp, or point DECIMORA_PLUGIN_DIR at the bundles)");
    }
    return path;
}

// Listens to the host's filter progress while it lives.
class ProgressListener {
public:
    ProgressListener(standin::Host& host, const std::function<void(double)>& progress) : host_(host) {
        host_.SetFilterProgress([&progress](double fraction) {
            if (progress) progress(fraction);
            return true;
        });
    }
    ~ProgressListener() { host_.SetFilterProgress(nullptr); }
    ProgressListener(const ProgressListener&) = delete;
    ProgressListener& operator=(const ProgressListener&) = delete;

private:
    standin::Host& host_;
};

}  // namespace

BundleSession::BundleSession(const std::string& pluginFolder, StepRequest request) : request_(std::move(request)) {
    // The Objective-C runtime keeps what a module registered when it loaded,
    // so the modules stay mapped until the process ends.
    host_.KeepModulesMapped(true);
    decimora_ = &host_.LoadPlugin(BundlePath(pluginFolder, cli::kDecimoraBundle));
    host_.LoadPlugin(BundlePath(pluginFolder, cli::kFilterBundle));
    document_ = &host_.AddDocument(1, 1, 1, 8, 72.0);
}

cli::FileResult BundleSession::Reduce(const std::string& name, standin::Image& image, std::vector<uint8_t> colorProfile,
                                      const std::function<void(double)>& progress) {
    document_->name = name;
    document_->image = std::move(image);
    document_->colorProfile = std::move(colorProfile);
    document_->history.clear();
    host_.SetTargetDocument(document_);
    const ProgressListener listener(host_, progress);
    const int32_t entryResult = step_ ? RunAgain() : RunFirst();
    cli::FileResult result = cli::JudgeRun(host_, name, entryResult);
    if (result.outcome == cli::Outcome::reduced && !step_) {
        result = {cli::Outcome::failed, name + ": the Decimora plug-in left no step to repeat"};
    }
    // The document gives its pixels back: the result, or the untouched
    // original when the run failed (the host put it back).
    image = std::move(document_->image);
    document_->image = standin::Image(1, 1, 1, 8, 72.0);
    document_->colorProfile.clear();
    return result;
}

int32_t BundleSession::RunFirst() {
    if (request_.source == StepSource::lastStep) {
        const int32_t result = host_.Play(decimora_->EventId(), *request_.lastStep, host::kDisplayNoDialogs);
        if (result == 0) step_ = request_.lastStep;
        return result;
    }
    standin::ScriptParameters parameters;
    if (request_.source == StepSource::dialog) {
        parameters.playInfo = host::kPlayInfoShowDialog;
        parameters.descriptor = request_.lastStep;
    } else {
        parameters.descriptor = standin::Descriptor().PutInteger(fourcc::kFactorKey, request_.factor);
    }
    const standin::RunResult run = host_.DoIt(*decimora_, parameters);
    if (run.parameters) step_ = run.parameters->descriptor;
    return run.result;
}

int32_t BundleSession::RunAgain() {
    standin::ScriptParameters parameters;
    parameters.descriptor = step_;
    return host_.DoIt(*decimora_, parameters).result;
}

}  // namespace gimphost
