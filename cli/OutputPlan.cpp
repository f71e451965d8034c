#include "cli/OutputPlan.h"

#include <filesystem>
#include <map>

namespace cli {

namespace fs = std::filesystem;

namespace {

std::string OutputFor(const ReduceOptions& options, const std::string& input) {
    if (!options.output.empty()) return options.output;
    if (options.inPlace) return input;
    if (!options.outputFolder.empty()) return (fs::path(options.outputFolder) / fs::path(input).filename()).string();
    return ReducedName(input);
}

// The same text for two spellings of one path ("a/./b" and "a/b").
std::string Canonical(const std::string& path) { return fs::absolute(path).lexically_normal().string(); }

}  // namespace

std::string ReducedName(const std::string& input) {
    const fs::path path(input);
    fs::path reduced = path.parent_path() / path.stem();
    reduced += "-reduced";
    reduced += path.extension();
    return reduced.string();
}

std::vector<FileJob> PlanOutputs(const ReduceOptions& options) {
    std::vector<FileJob> jobs;
    std::map<std::string, std::string> inputByOutput;
    for (const std::string& input : options.inputs) {
        FileJob job{input, OutputFor(options, input)};
        const auto [existing, added] = inputByOutput.emplace(Canonical(job.output), input);
        if (!added) {
            throw UsageError(existing->second + " and " + input + " would both be written to " + job.output);
        }
        jobs.push_back(job);
    }
    return jobs;
}

}  // namespace cli
