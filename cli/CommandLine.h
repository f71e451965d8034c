// The command line of the decimora program: which command, and the options
// of a reduction. Parsing checks every rule that can be checked without
// touching a file, so that a usage error stops the program before any work.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/ToneMode.h"

namespace cli {

enum class Command { help, version, reduce, about };

struct ReduceOptions {
    std::vector<std::string> inputs;
    std::string output;        // -o: one input's output file
    std::string outputFolder;  // --out-dir: where the outputs go, under the inputs' names
    std::optional<int32_t> factor;
    bool dialog = false;
    bool force = false;
    bool inPlace = false;
    std::optional<int> quality;
    ToneMode tone = ToneMode::light;
    std::optional<uint64_t> maxPixels;  // --max-pixels; unset: the image readers' default
    std::optional<uint64_t> memoryBudget;  // --memory; unset: DECIMORA_MEMORY or its default
    std::string scratchFolder;             // --scratch; empty: DECIMORA_SCRATCH, $TMPDIR or /tmp
    int jobs = 1;
    std::string recordFile;
    std::string replayFile;
    bool quiet = false;

    // Whether the factor dialog appears: no factor given, or asked for.
    bool Interactive() const { return replayFile.empty() && (!factor || dialog); }
};

struct CommandLine {
    Command command = Command::help;
    std::string pluginFolder;  // --plugins; empty for the default
    ReduceOptions reduce;
};

// A command line that breaks a rule. The message says which and why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr int kMaxJobs = 64;

// `arguments` without the program's name. Throws UsageError.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace cli
