#include "runner/BundleRunner.h"

#include <utility>

#include "runner/PluginBundles.h"

namespace runner {

namespace {

// Lends the caller's pixels to the host's document for one run; the
// document is left empty again however the run ends.
class BorrowedDocument {
public:
    BorrowedDocument(standin::Host& host, standin::Document& document, TargetPixels& pixels) : document_(document) {
        document_.name = pixels.name;
        document_.image = std::move(pixels.image);
        document_.colorProfile = std::move(pixels.colorProfile);
        document_.history.clear();
        host.SetTargetDocument(&document_);
    }
    ~BorrowedDocument() {
        document_.image = standin::Image(1, 1, 1, 8, 72.0);
        document_.colorProfile.clear();
        document_.history.clear();
    }
    BorrowedDocument(const BorrowedDocument&) = delete;
    BorrowedDocument& operator=(const BorrowedDocument&) = delete;

    // The pixels the run left.
    void GiveBack(TargetPixels& pixels) { pixels.image = std::move(document_.image); }

private:
    standin::Document& document_;
};

// Passes the host's filter progress on for as long as it lives.
class ProgressListener {
public:
    ProgressListener(standin::Host& host, const RunProgress& progress) : host_(host) {
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

BundleRunner::BundleRunner(const std::string& pluginFolder) {
    // The Objective-C runtime keeps what a module registered when it loaded,
    // so the modules stay mapped until the process ends.
    host_.KeepModulesMapped(true);
    decimora_ = &host_.LoadPlugin(pluginFolder + "/" + kDecimoraBundle);
    host_.LoadPlugin(pluginFolder + "/" + kFilterBundle);
    // One black pixel until the first run.
    document_ = &host_.AddDocument(1, 1, 1, 8, 72.0);
}

DoItReport BundleRunner::DoIt(TargetPixels& pixels, const std::optional<standin::ScriptParameters>& parameters,
                              const RunProgress& progress) {
    return Run(pixels, progress, [this, &parameters](DoItReport& report) {
        const standin::RunResult run = host_.DoIt(*decimora_, parameters);
        if (run.parameters) report.recordedStep = run.parameters->descriptor;
        return run.result;
    });
}

DoItReport BundleRunner::Play(TargetPixels& pixels, const standin::Descriptor& step, const RunProgress& progress) {
    return Run(pixels, progress, [this, &step](DoItReport&) {
        return host_.Play(decimora_->EventId(), step, host::kDisplayNoDialogs);
    });
}

DoItReport BundleRunner::Run(TargetPixels& pixels, const RunProgress& progress,
                             const std::function<int32_t(DoItReport&)>& request) {
    BorrowedDocument document(host_, *document_, pixels);
    const ProgressListener listener(host_, progress);
    DoItReport report;
    report.entryResult = request(report);
    report.run = host_.LastRun();
    document.GiveBack(pixels);
    return report;
}

}  // namespace runner
