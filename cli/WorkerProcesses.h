// Reduces files in parallel: forked worker processes, each with a host and
// plug-ins of its own, take one file at a time from the parent, which hands
// out the next file as soon as a worker is free and reports every file's
// progress and result.
//
// Parent and worker talk over two pipes per worker, one line per message:
//   to the worker:    "<index>\n"                       reduce this file
//   to the parent:    "P <index> <permille>\n"          its progress
//                     "D <index> <r|f|c> <message>\n"   reduced, failed, cancelled
// Closing the worker's task pipe tells it to exit.
#pragma once

#include <vector>

#include "cli/OutputPlan.h"
#include "cli/Reducer.h"
#include "cli/RunReport.h"

namespace cli {

// Runs every job in `workers` processes (at least 1, at most kMaxJobs).
// A worker that dies fails the file it was reducing; the others go on.
void RunInWorkers(const std::vector<FileJob>& jobs, int workers, const ReduceSettings& settings, RunReport& report);

}  // namespace cli
