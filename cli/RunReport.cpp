#include "cli/RunReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cli/ErrorReport.h"
#include "cli/Interrupts.h"
#include "cli/Usage.h"

namespace cli {

namespace {

constexpr int kBarWidth = 30;

}  // namespace

std::string ProgressLine(double fraction, size_t finished, size_t files) {
    fraction = std::clamp(fraction, 0.0, 1.0);
    const int filled = static_cast<int>(std::floor(fraction * kBarWidth));
    char percent[16];
    std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(std::floor(fraction * 100)));
    return "[" + std::string(static_cast<size_t>(filled), '#') +
           std::string(static_cast<size_t>(kBarWidth - filled), ' ') + "] " + percent + "  " +
           std::to_string(finished) + " of " + std::to_string(files) + " files";
}

RunReport::RunReport(size_t files, bool showProgress) : files_(files), showProgress_(showProgress) {}

void RunReport::Progress(size_t index, double fraction) {
    inProgress_[index] = fraction;
    Draw();
}

void RunReport::Finished(size_t index, const runner::FileResult& result) {
    inProgress_.erase(index);
    ++finished_;
    if (result.outcome != runner::Outcome::reduced) ++notReduced_;
    if (!result.message.empty()) {
        ClearLine();
        ReportError(result.message);
    }
    Draw();
}

void RunReport::Close() {
    if (!drawn_.empty()) {
        std::fputs("\n", stderr);
        drawn_.clear();
        SetProgressLineOpen(false);
    }
    if (files_ > 1 && notReduced_ > 0) {
        ReportError(std::to_string(notReduced_) + " of " + std::to_string(files_) + " files were not reduced");
    }
    std::fflush(stderr);
}

int RunReport::ExitStatus() const { return notReduced_ == 0 ? kExitSuccess : kExitFailure; }

// Redraws the bar only when its text changes.
void RunReport::Draw() {
    if (!showProgress_) return;
    double done = static_cast<double>(finished_);
    for (const auto& entry : inProgress_) done += entry.second;
    const std::string line = ProgressLine(done / static_cast<double>(files_), finished_, files_);
    if (line == drawn_) return;
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
    drawn_ = line;
    SetProgressLineOpen(true);
}

// Takes the bar off its line, so that a message can be printed there; the
// next Draw puts it back below.
void RunReport::ClearLine() {
    if (drawn_.empty()) return;
    std::fputs("\r\033[K", stderr);
    drawn_.clear();
    SetProgressLineOpen(false);
}

}  // namespace cli
