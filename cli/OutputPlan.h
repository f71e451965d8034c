// Which file each input's result is written to.
#pragma once

#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace cli {

struct FileJob {
    std::string input;
    std::string output;
};

// "dir/photo.tif" -> "dir/photo-reduced.tif"; a name without an extension
// gets "-reduced" at its end.
std::string ReducedName(const std::string& input);

// One job per input, in order: -o's file, the input's name in --out-dir, the
// input itself with --in-place, else ReducedName. Throws UsageError when two
// inputs would be written to the same file.
std::vector<FileJob> PlanOutputs(const ReduceOptions& options);

}  // namespace cli
