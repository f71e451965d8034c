#include "reliability/FaultSweep.h"

#include <dlfcn.h>

#include <cctype>
#include <sstream>

#include "e2e/PluginRun.h"
#include "host/HostTypes.h"

namespace reliability {

namespace {

const char* const kHistoryName = "Decimora";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

Outcome Judge(const standin::Document& document, const standin::Image& before, const standin::Image& reduced) {
    if (document.image == before && document.history.empty()) return Outcome::untouched;
    if (document.image == reduced && document.history == std::vector<std::string>{kHistoryName})
        return Outcome::complete;
    return Outcome::damaged;
}

const char* OutcomeText(Outcome outcome) {
    switch (outcome) {
        case Outcome::complete: return "complete";
        case Outcome::untouched: return "untouched";
        case Outcome::damaged: return "damaged";
    }
    return "?";
}

}  // namespace

void Paint(standin::Image& image) {
    for (int32_t y = 0; y < image.Height(); ++y)
        for (int32_t x = 0; x < image.Width(); ++x)
            for (int32_t c = 0; c < image.Channels(); ++c)
                image.SetSample(x, y, c, static_cast<uint32_t>((x * 7 + y * 13 + c * 50) % 256));
}

void ReleasePluginSuites() {
    void* module = dlopen(e2e::PluginModulePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (module == nullptr) return;
    auto release = reinterpret_cast<void (*)()>(dlsym(module, "_Z16PIUSuitesReleasev"));
    if (release != nullptr) release();
    dlclose(module);
}

std::string OperationTestName(const CleanRun& clean, int64_t n) {
    std::string name = "n" + std::to_string(n);
    if (n < 1 || n > static_cast<int64_t>(clean.operationNames.size())) return name;
    name += "_";
    for (char c : clean.operationNames[static_cast<size_t>(n - 1)])
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

FaultedRun Inspect(standin::Host& host, int64_t n, int32_t entryResult, const standin::Image& before,
                   const standin::Image& reduced) {
    FaultedRun run;
    run.n = n;
    run.entryResult = entryResult;
    const std::vector<std::string>& log = host.OperationLog();
    run.faultReached = n >= 1 && n <= static_cast<int64_t>(log.size());
    if (run.faultReached) run.operation = log[static_cast<size_t>(n - 1)];
    run.leakedHandles = host.LeakedHandles();
    for (const std::string& error : host.Errors()) {
        if (Contains(error, "exception escaped")) run.exceptionEscaped = true;
        run.hostErrors.push_back(error);
    }
    if (const standin::Document* document = host.TargetDocument()) {
        run.outcome = Judge(*document, before, reduced);
        run.history = document->history;
    }
    return run;
}

std::vector<std::string> Problems(const FaultedRun& run) {
    std::vector<std::string> problems;
    if (!run.faultReached) problems.push_back("the run never reached operation " + std::to_string(run.n));
    if (run.exceptionEscaped) problems.push_back("an exception reached the host");
    for (const std::string& error : run.hostErrors) problems.push_back("host: " + error);
    if (run.leakedHandles != 0) problems.push_back(std::to_string(run.leakedHandles) + " handles leaked");
    if (run.outcome == Outcome::damaged) problems.push_back("the document is neither reduced nor as it was");
    if (run.entryResult != host::kNoError && run.entryResult != host::kParameterError)
        problems.push_back("the entry point answered " + std::to_string(run.entryResult));
    problems.insert(problems.end(), run.otherProblems.begin(), run.otherProblems.end());
    return problems;
}

std::string Describe(const FaultedRun& run) {
    std::ostringstream text;
    text << "operation " << run.n << " (" << run.operation << ") failed with " << kInjectedCode << ": "
         << OutcomeText(run.outcome) << ", entry point answered " << run.entryResult;
    for (const std::string& problem : Problems(run)) text << "\n  " << problem;
    return text.str();
}

void SweepTally::Add(const FaultedRun& run, bool known) {
    ++injected_;
    if (known) {
        ++known_;
    } else if (!Problems(run).empty()) {
        ++unsound_;
    }
    leaked_ += run.leakedHandles;
    if (run.exceptionEscaped) ++escaped_;
    if (!run.hostErrors.empty()) ++misused_;
    if (run.outcome == Outcome::complete) ++complete_;
    if (run.outcome == Outcome::untouched) ++untouched_;
    if (run.outcome == Outcome::damaged) ++damaged_;
}

std::string SweepTally::Summary() const {
    std::ostringstream text;
    text << injected_ << " faults injected: ";
    if (escaped_ == 0) {
        text << "all survived";
    } else {
        text << escaped_ << " let an exception reach the host";
    }
    text << ", " << leaked_ << " handles leaked";
    if (misused_ != 0) text << ", " << misused_ << " misused the host";
    if (damaged_ == 0) {
        text << ", every document complete or untouched";
    } else {
        text << ", " << damaged_ << " documents damaged";
    }
    if (unsound_ != 0) text << ", " << unsound_ << " runs unsound";
    if (known_ != 0) text << ", " << known_ << " known faults not mended yet";
    text << " (" << complete_ << " complete, " << untouched_ << " untouched)";
    return text.str();
}

}  // namespace reliability
