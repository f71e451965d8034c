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

}  // namespace

LowPassResult LowPass(const ImageView& image, const LowPassSettings& settings) {
    if (!IsSupported(image)) return LowPassResult::unsupportedImage;
    if (!(settings.cutoff >= 0.0)) return LowPassResult::badCutoff;
    if (image.IsEmpty()) return LowPassResult::done;

    const AxisPlan rows = PlanAxis(image.width, settings.cutoff);
    const AxisPlan columns = PlanAxis(image.height, settings.cutoff);
    if (rows.IsIdentity() && columns.IsIdentity()) return LowPassResult::done;

    ThreadTeam team(ThreadCount(settings.threads));
    const FilterJob job{image, rows, columns, team, settings.progress};
    const bool finished =
        columns.method == AxisMethod::cosine ? RunCosineColumnFilter(job) : RunStreamingFilter(job);
    return finished ? LowPassResult::done : LowPassResult::canceled;
}

}  // namespace moirenix
