// decimora: reduces image files by a whole factor without moire, with the
// Decimora plug-in running in the stand-in host. See HelpText (Usage.cpp)
// for the commands, options and exit statuses.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "host/FourCharCodes.h"
#include "cli/CommandLine.h"
#include "cli/ErrorReport.h"
#include "cli/Interrupts.h"
#include "cli/MemoryLog.h"
#include "cli/OutputPlan.h"
#include "cli/PluginFolder.h"
#include "cli/Reducer.h"
#include "cli/RunReport.h"
#include "cli/Usage.h"
#include "cli/WorkerProcesses.h"
#include "runner/PluginBundles.h"
#include "runner/RecordedStep.h"
#include "standin/host/Host.h"
#include "standin/host/ScratchSettings.h"

namespace {

using namespace cli;

// A problem that ends the program with a message and a status.
struct Stop {
    int status;
    std::string message;
};

bool HasDisplay() {
#ifdef __APPLE__
    return true;
#else
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && display[0] != '\0';
#endif
}

void RequireDisplay(const std::string& what, const std::string& hint) {
    if (HasDisplay()) return;
    throw Stop{kExitUsage, what + " needs a display, but DISPLAY is not set" + hint};
}

// The action parameters sent with "Do It": the factor without dialog, the
// factor as the dialog's preset, or no parameters at all so that the dialog
// appears. Recording needs parameters for the plug-in to write its step
// into, so a recorded interactive run asks for the dialog with an empty
// descriptor.
std::optional<standin::ScriptParameters> ActionParameters(const ReduceOptions& options) {
    if (!options.factor && options.recordFile.empty()) return std::nullopt;
    standin::ScriptParameters parameters;
    parameters.playInfo = options.Interactive() ? host::kPlayInfoShowDialog : 0;
    if (options.factor) parameters.descriptor = standin::Descriptor().PutInteger(fourcc::kFactorKey, *options.factor);
    return parameters;
}

runner::RecordedStep ReadReplay(const std::string& path, uint32_t decimoraEvent) {
    runner::RecordedStep step;
    try {
        step = runner::ReadRecordedStepFile(path);
    } catch (const runner::RecordedStepError& error) {
        throw Stop{kExitFailure, error.what()};
    }
    if (step.event != decimoraEvent) {
        throw Stop{kExitFailure, FileMessage(path, "the step plays event " + standin::DescribeCode(step.event) +
                                                       ", not the Decimora plug-in's " +
                                                       standin::DescribeCode(decimoraEvent))};
    }
    return step;
}

ReduceSettings Settings(const ReduceOptions& options, const std::string& pluginFolder, uint32_t decimoraEvent) {
    ReduceSettings settings;
    settings.pluginFolder = pluginFolder;
    if (!options.replayFile.empty()) {
        settings.replay = ReadReplay(options.replayFile, decimoraEvent);
    } else {
        settings.parameters = ActionParameters(options);
    }
    if (options.quality) settings.quality = *options.quality;
    settings.tone = options.tone;
    settings.maxPixels = options.maxPixels;
    settings.force = options.force;
    settings.inPlace = options.inPlace;
    settings.recordFile = options.recordFile;
    return settings;
}

void CheckRecordFileFree(const ReduceOptions& options) {
    std::error_code error;
    if (options.recordFile.empty() || options.force) return;
    if (std::filesystem::exists(std::filesystem::symlink_status(options.recordFile, error))) {
        throw Stop{kExitFailure, FileMessage(options.recordFile, "exists; give --force to replace it")};
    }
}

// The memory budget and scratch folder of this run (and of its workers,
// which inherit them): the options, else the environment, else the defaults.
void ChooseScratchSettings(const ReduceOptions& options) {
    standin::ScratchSettings settings = standin::DefaultScratchSettings();
    const char* budget = std::getenv(standin::kMemoryBudgetVariable);
    if (budget != nullptr && !standin::ParseByteSize(budget)) {
        throw Stop{kExitUsage, standin::ByteSizeRefusal(standin::kMemoryBudgetVariable, budget)};
    }
    if (options.memoryBudget) settings.memoryBudget = *options.memoryBudget;
    if (!options.scratchFolder.empty()) settings.folder = options.scratchFolder;
    std::error_code error;
    if (!std::filesystem::is_directory(settings.folder, error)) {
        throw Stop{kExitFailure, "the scratch folder " + settings.folder + " is not a folder"};
    }
    standin::SetScratchSettings(settings);
}

void RunInProcess(const std::vector<FileJob>& jobs, const ReduceSettings& settings, RunReport& report) {
    if (jobs.empty()) return;
    // The first input is read while the plug-ins load.
    EarlyRead early(jobs.front().input, FileReadOptions(settings));
    Reducer reducer(settings);
    MemoryLog memoryLog;
    for (size_t index = 0; index < jobs.size(); ++index) {
        const runner::FileResult result = reducer.Reduce(
            jobs[index], [&](double fraction) { report.Progress(index, fraction); }, index == 0 ? &early : nullptr);
        memoryLog.FileDone();
        report.Finished(index, result);
    }
}

int Reduce(const CommandLine& line) {
    const ReduceOptions& options = line.reduce;
    if (options.Interactive()) RequireDisplay("the factor dialog", "; give --factor N to reduce without it");
    const std::vector<FileJob> jobs = PlanOutputs(options);
    const std::string folder = ChoosePluginFolder(line.pluginFolder);
    const uint32_t decimoraEvent = CheckPluginFolder(folder, true);
    const ReduceSettings settings = Settings(options, folder, decimoraEvent);
    CheckRecordFileFree(options);
    ChooseScratchSettings(options);

    RunReport report(jobs.size(), !options.quiet && isatty(STDERR_FILENO));
    const int workers = std::min<int>(options.jobs, static_cast<int>(jobs.size()));
    try {
        if (workers > 1) {
            RunInWorkers(jobs, workers, settings, report);
        } else {
            RunInProcess(jobs, settings, report);
        }
    } catch (...) {
        report.Close();
        throw;
    }
    report.Close();
    return report.ExitStatus();
}

int About(const CommandLine& line) {
    RequireDisplay("the About box", "");
    const std::string folder = ChoosePluginFolder(line.pluginFolder);
    CheckPluginFolder(folder, false);
    standin::Host host;
    host.KeepModulesMapped(true);
    standin::Plugin& plugin = host.LoadPlugin(folder + "/" + runner::kDecimoraBundle);
    const int32_t result = host.About(plugin);
    if (result != 0) throw Stop{kExitFailure, "the About box failed (host error " + std::to_string(result) + ")"};
    return kExitSuccess;
}

int Run(const CommandLine& line) {
    switch (line.command) {
        case Command::help: std::fputs(HelpText().c_str(), stdout); return kExitSuccess;
        case Command::version: std::printf("%s\n", VersionText().c_str()); return kExitSuccess;
        case Command::about: return About(line);
        case Command::reduce: return Reduce(line);
    }
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    // A write past a file-size limit fails with EFBIG, reported like a full
    // disk, instead of killing the program in the middle of a file.
    std::signal(SIGXFSZ, SIG_IGN);
    WatchForInterrupts();
    try {
        return Run(ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc)));
    } catch (const UsageError& error) {
        ReportError(error.what(), kUsageHint);
        return kExitUsage;
    } catch (const Stop& stop) {
        ReportError(stop.message);
        return stop.status;
    } catch (const std::exception& error) {
        ReportError(error.what());
        return kExitFailure;
    }
}
