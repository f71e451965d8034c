// decimora-host: runs a plug-in in the stand-in host on an in-memory
// document, for manual runs.
//
//   decimora-host [--plugins DIR] [--plugin NAME] [--document WxHxC@PPI]
//                 [--bits 8|16|32] [--memory SIZE] [--scratch DIR] [--keep-modules-mapped]
//                 about | doit [--factor N] [--dialog]
//
// Loads every bundle in the plug-in folder (default: $DECIMORA_PLUGIN_DIR,
// else "plug-ins" next to the program), runs the request on the first
// automation plug-in (or the one named), unloads the plug-ins, and prints
// the document, its history, the recorded step and anything the host
// caught. Exit status 0 when the request and its history block succeeded and
// the plug-in misbehaved in no way, 1 otherwise, 2 for a usage error.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include "standin/host/Host.h"
#include "standin/host/ScratchSettings.h"

namespace {

struct Options {
    std::string pluginFolder = standin::Host::DefaultPluginFolder();
    std::string pluginName;
    int32_t width = 3001;
    int32_t height = 2001;
    int32_t channels = 3;
    double resolution = 300;
    int32_t bits = 8;
    std::string request;
    std::optional<int32_t> factor;
    bool dialog = false;
    bool keepModulesMapped = false;
    // Pixels beyond the memory budget live in scratch files (ScratchSettings.h).
    standin::ScratchSettings scratch = standin::DefaultScratchSettings();
};

const char kUsage[] =
    "usage: decimora-host [--plugins DIR] [--plugin NAME] [--document WxHxC@PPI] [--bits 8|16|32]\n"
    "                     [--memory SIZE] [--scratch DIR] [--keep-modules-mapped] about | doit [--factor N] [--dialog]\n";

// "3001x2001x3@300", every part used up.
bool ParseDocument(const std::string& text, Options* options) {
    int consumed = 0;
    const int fields = std::sscanf(text.c_str(), "%dx%dx%d@%lf%n", &options->width, &options->height,
                                   &options->channels, &options->resolution, &consumed);
    return fields == 4 && static_cast<size_t>(consumed) == text.size();
}

bool ParseInteger(const std::string& text, int32_t* value) {
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    *value = static_cast<int32_t>(parsed);
    return true;
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--plugins" && hasValue) {
            options->pluginFolder = argv[++i];
        } else if (argument == "--plugin" && hasValue) {
            options->pluginName = argv[++i];
        } else if (argument == "--document" && hasValue) {
            if (!ParseDocument(argv[++i], options)) return false;
        } else if (argument == "--bits" && hasValue) {
            if (!ParseInteger(argv[++i], &options->bits)) return false;
        } else if (argument == "--memory" && hasValue) {
            const std::optional<uint64_t> bytes = standin::ParseByteSize(argv[++i]);
            if (!bytes) return false;
            options->scratch.memoryBudget = *bytes;
        } else if (argument == "--scratch" && hasValue) {
            options->scratch.folder = argv[++i];
        } else if (argument == "--factor" && hasValue) {
            int32_t factor = 0;
            if (!ParseInteger(argv[++i], &factor)) return false;
            options->factor = factor;
        } else if (argument == "--dialog") {
            options->dialog = true;
        } else if (argument == "--keep-modules-mapped") {
            options->keepModulesMapped = true;
        } else if ((argument == "about" || argument == "doit") && options->request.empty()) {
            options->request = argument;
        } else {
            return false;
        }
    }
    return !options->request.empty();
}

void PrintDocument(const char* label, const standin::Document& document) {
    const standin::Image& image = document.image;
    std::cout << label << ": " << image.Width() << " x " << image.Height() << ", " << image.Channels()
              << " channels, " << image.BitsPerSample() << " bits, " << image.Resolution() << " ppi\n";
}

standin::Plugin* ChoosePlugin(standin::Host& host, const std::string& name) {
    if (!name.empty()) return host.FindPlugin(name);
    for (const auto& plugin : host.Plugins()) {
        if (plugin->Kind() == standin::PluginKind::automation) return plugin.get();
    }
    return nullptr;
}

// Unloads every plug-in and prints what the host caught; true when it caught
// nothing.
bool UnloadAndReportMisuse(standin::Host& host, bool modulesStayMapped) {
    while (!host.Plugins().empty()) host.UnloadPlugin(*host.Plugins().back());
    for (const std::string& error : host.Errors()) std::cout << "error: " << error << "\n";
    for (const std::string& leak : host.LeakedHandleDescriptions()) std::cout << "leaked: " << leak << "\n";
    // Modules that stay mapped release their suites only at exit.
    const int held = modulesStayMapped ? 0 : host.OutstandingSuiteAcquisitions();
    if (held > 0) std::cout << "suites still held after unload: " << held << "\n";
    return host.Errors().empty() && host.LeakedHandles() == 0 && held == 0;
}

int Run(const Options& options) {
    standin::Host host;
    host.KeepModulesMapped(options.keepModulesMapped);
    for (const std::string& refusal : host.LoadPluginFolder(options.pluginFolder)) {
        std::cout << "refused: " << refusal << "\n";
    }
    standin::Plugin* plugin = ChoosePlugin(host, options.pluginName);
    if (plugin == nullptr) {
        std::cout << "no automation plug-in found in " << options.pluginFolder << "\n";
        return 1;
    }
    std::cout << "plug-in: " << plugin->MenuName() << " (" << plugin->BundlePath() << ")\n";
    standin::Document& document =
        host.AddDocument(options.width, options.height, options.channels, options.bits, options.resolution);
    PrintDocument("document", document);

    int32_t result = 0;
    if (options.request == "about") {
        result = host.About(*plugin);
        for (const std::string& url : host.BrowsedUrls()) std::cout << "browsed: " << url << "\n";
    } else {
        std::optional<standin::ScriptParameters> parameters;
        if (options.factor || options.dialog) {
            parameters.emplace();
            parameters->playInfo = options.dialog ? host::kPlayInfoShowDialog : 0;
            if (options.factor) parameters->descriptor = standin::Descriptor().PutInteger(fourcc::kFactorKey, *options.factor);
        }
        const standin::RunResult run = host.DoIt(*plugin, parameters);
        result = run.result;
        for (const standin::PlayedEvent& event : host.PlayedEvents()) {
            std::cout << "played: " << event.name << " -> " << event.result << "\n";
        }
        if (run.parameters && run.parameters->descriptor) {
            std::cout << "recorded: " << run.parameters->descriptor->Describe();
        }
    }
    std::cout << "result: " << result << "\n";
    const int32_t historyResult = host.LastHistoryResult();
    if (historyResult != 0) std::cout << "history block rolled back: " << historyResult << "\n";
    PrintDocument("document", document);
    for (const std::string& state : document.history) std::cout << "history: " << state << "\n";
    const bool clean = UnloadAndReportMisuse(host, options.keepModulesMapped);
    return result == 0 && historyResult == 0 && clean ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::cerr << kUsage;
        return 2;
    }
    standin::SetScratchSettings(options.scratch);
    try {
        return Run(options);
    } catch (const std::exception& failure) {
        std::cerr << "decimora-host: " << failure.what() << "\n";
        return 1;
    }
}
