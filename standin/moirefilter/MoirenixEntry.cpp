// The filter plug-in's entry point: reads the played event's parameters,
// turns them into a cutoff, and runs the low-pass on the host's pixels.
//
// Parameters:
//   'mSrV'  value: the finest detail to keep, in cycles per inch. With the
//           document's resolution R (pixels per inch) the cutoff is value / R
//           cycles per pixel. 0 keeps nothing but each channel's mean (the
//           limit of ever coarser detail); a negative or non-finite value is
//           refused.
//   'sHrs'  mode: -2, low-pass ahead of a shrink, is the one mode; any other
//           value is refused.
// Both are required. Refusals return host::kMissingParameter; an image the
// filter cannot work on (including a resolution that is not a positive
// number) returns host::kBadParameter. No exception leaves the entry point.
//
// With the document's colour profile (FilterPlugin.h) the filter low-passes
// light: colour samples are decoded through the profile's tone curves, and
// the result encoded again. A profile that cannot decode the image's colour
// channels is refused with host::kBadParameter; without one, the coded
// values are filtered as they are.
//
// 8- and 16-bit integer and 32-bit float images are filtered; float samples
// keep values outside 0..1, and NaN or infinite ones are filtered as 0, so
// the result is finite.
//
// Any image size down to 1 x 1 is filtered: the edges are extended by
// mirroring, so a line shorter than the kernel still has a defined result,
// and a line too short to hold any frequency below the cutoff keeps its mean.
//
// The filter runs on one thread per processor the process may use, or on
// as many as MOIRENIX_THREADS says.
//
// It takes checks and sampled requests too (FilterPlugin.h): a sampled
// request filters only the pixels it names, equal to the last bit to those a
// whole filtering would leave there.
#include <algorithm>
#include <cstddef>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <memory>
#include <optional>
#include <stdexcept>

#include "host/FourCharCodes.h"
#include "standin/host/FilterPlugin.h"
#include "standin/moirefilter/LowPass.h"
#include "standin/moirefilter/ToneCurves.h"

namespace {

constexpr double kShrinkMode = -2.0;
constexpr char kThreadsVariable[] = "MOIRENIX_THREADS";

// The float the played event holds under `key`, if it holds one.
bool ReadParameter(const FilterRequest& request, uint32_t key, double* value) {
    return request.getFloat(request.parameterContext, key, value) == 0;
}

moirenix::ImageView ViewOf(const FilterImage& image) {
    moirenix::ImageView view;
    view.pixels = image.pixels;
    view.width = image.width;
    view.height = image.height;
    view.channels = image.channels;
    view.bitsPerSample = image.bitsPerSample;
    view.rowBytes = image.rowBytes;
    view.alphaChannel = image.alphaChannel;
    return view;
}

// MOIRENIX_THREADS, the filter's own setting: a whole number of threads
// from 1 up; unset or anything else, one per available processor.
int ThreadSetting() {
    const char* text = std::getenv(kThreadsVariable);
    if (text == nullptr) return 0;
    char* end = nullptr;
    const long threads = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && threads >= 1 && threads <= 1024 ? static_cast<int>(threads) : 0;
}

// The pixels a sampled request names, or nothing for a whole filtering.
std::optional<moirenix::SampledOutput> SampledOf(const FilterRequest& request) {
    if (request.sampledColumns == nullptr) return std::nullopt;
    moirenix::SampledOutput sampled;
    sampled.image = ViewOf(request.sampled);
    const auto width = static_cast<size_t>(std::max(0, request.sampled.width));
    const auto height = static_cast<size_t>(std::max(0, request.sampled.height));
    if (height > 0 && request.sampledRows == nullptr) return sampled;  // refused by FitsSource: no rows
    sampled.columns.assign(request.sampledColumns, request.sampledColumns + width);
    if (height > 0) sampled.rows.assign(request.sampledRows, request.sampledRows + height);
    return sampled;
}

// A request as long as one made before the colour profile was added: the
// fields from `colorProfile` on are not there and mean "no profile".
constexpr size_t kRequestSizeWithoutProfile = offsetof(FilterRequest, colorProfile);

bool HasColorProfile(const FilterRequest& request) {
    return static_cast<size_t>(request.size) >= sizeof(FilterRequest) && request.colorProfile != nullptr;
}

int32_t ToResultCode(moirenix::LowPassResult result) {
    switch (result) {
        case moirenix::LowPassResult::done:
            return 0;
        case moirenix::LowPassResult::canceled:
            return host::kUserCanceled;
        case moirenix::LowPassResult::unsupportedImage:
            return host::kBadParameter;
        case moirenix::LowPassResult::badCutoff:
            return host::kMissingParameter;
    }
    return host::kInternalError;
}

int32_t RunFilter(const FilterRequest& request) {
    if (request.getFloat == nullptr) return host::kMissingParameter;
    double value = 0.0;
    double mode = 0.0;
    if (!ReadParameter(request, fourcc::kFilterValue, &value) || !ReadParameter(request, fourcc::kFilterMode, &mode)) {
        return host::kMissingParameter;
    }
    if (mode != kShrinkMode) return host::kMissingParameter;
    if (!std::isfinite(value) || value < 0.0) return host::kMissingParameter;
    const double resolution = request.image.resolution;
    if (!std::isfinite(resolution) || resolution <= 0.0) return host::kBadParameter;

    moirenix::LowPassSettings settings;
    settings.cutoff = value / resolution;
    settings.threads = ThreadSetting();
    if (request.progress != nullptr) {
        settings.progress = [&request](double fraction) {
            return request.progress(request.progressContext, fraction) == 0;
        };
    }
    moirenix::ImageView image = ViewOf(request.image);
    if (!moirenix::IsSupported(image)) return host::kBadParameter;
    std::unique_ptr<const moirenix::ToneCurves> tone;
    if (HasColorProfile(request)) {
        if (request.colorProfileSize <= 0) return host::kBadParameter;
        try {
            tone = moirenix::ReadToneCurves(request.colorProfile, static_cast<size_t>(request.colorProfileSize), image);
        } catch (const std::invalid_argument&) {
            return host::kBadParameter;
        }
    }
    if (request.checkOnly != 0) return 0;
    image.tone = tone.get();
    std::optional<moirenix::SampledOutput> sampled = SampledOf(request);
    if (!sampled) return ToResultCode(moirenix::LowPass(image, settings));
    sampled->image.tone = tone.get();
    return ToResultCode(moirenix::LowPassSampled(image, *sampled, settings));
}

}  // namespace

extern "C" int32_t MoirenixFilterMain(const FilterRequest* request) {
    if (request == nullptr || request->size < static_cast<int32_t>(kRequestSizeWithoutProfile)) {
        return host::kMissingParameter;
    }
    try {
        return RunFilter(*request);
    } catch (const std::bad_alloc&) {
        return host::kNotEnoughMemory;
    } catch (const std::length_error&) {
        return host::kNotEnoughMemory;
    } catch (...) {
        return host::kInternalError;
    }
}
