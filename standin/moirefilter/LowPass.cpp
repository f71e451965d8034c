#include "standin/moirefilter/LowPass.h"

#include <sched.h>

#include <algorithm>
#include <thread>

#include "standin/moirefilter/AxisPlan.h"
#include "standin/moirefilter/CosineColumnFilter.h"
#include "standin/moirefilter/StreamingFilter.h"
#include "standin/moirefilter/ThreadTeam.h"

namespace moirenix {
namespace {

// More threads than this gain nothing on the memory traffic of one image.
constexpr int kMaxThreads = 16;

// The processors this process may run on (its affinity mask, which
// taskset and container limits narrow), else all the machine has.
int AvailableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) return CPU_COUNT(&set);
    return static_cast<int>(std::thread::hardware_concurrency());
}

int ThreadCount(int requested) {
    if (requested > 0) return std::min(requested, kMaxThreads);
    return std::clamp(AvailableProcessors(), 1, kMaxThreads);
}

// The filter, written over `image` or, when `sampled` is set, into it.
LowPassResult Filter(const ImageView& image, const SampledOutput* sampled, const LowPassSettings& settings) {
    if (!IsSupported(image)) return LowPassResult::unsupportedImage;
    if (sampled != nullptr && !FitsSource(*sampled, image)) return LowPassResult::unsupportedImage;
    if (!(settings.cutoff >= 0.0)) return LowPassResult::badCutoff;
    if (image.IsEmpty()) return LowPassResult::done;

    const AxisPlan rows = PlanAxis(image.width, settings.cutoff);
    const AxisPlan columns = PlanAxis(image.height, settings.cutoff);
    if (rows.IsIdentity() && columns.IsIdentity()) {
        if (sampled != nullptr) CopySamples(image, *sampled);
        return LowPassResult::done;
    }

    ThreadTeam team(ThreadCount(settings.threads));
    const FilterJob job{image, rows, columns, team, settings.progress, sampled};
    const bool finished =
        columns.method == AxisMethod::cosine ? RunCosineColumnFilter(job) : RunStreamingFilter(job);
    return finished ? LowPassResult::done : LowPassResult::canceled;
}

}  // namespace

LowPassResult LowPass(const ImageView& image, const LowPassSettings& settings) {
    return Filter(image, nullptr, settings);
}

LowPassResult LowPassSampled(const ImageView& image, const SampledOutput& sampled, const LowPassSettings& settings) {
    return Filter(image, &sampled, settings);
}

}  // namespace moirenix
