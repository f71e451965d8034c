// Playing filters. Outside a history block a filter runs at once, on the
// target's pixels. Inside one, a filter that takes checks and sampled
// requests (FilterPlugin.h) is checked at once and run when its result is
// first needed: by a nearest-neighbour image size, which then asks it for
// the pixels the shrink keeps and nothing else, or by any other event, or
// by the end of the block, which get the whole filtered image. Either way
// each event sees exactly the pixels it would see had the filter run at
// once, and a failing filter leaves the document as it was.
#include <new>
#include <utility>
#include <vector>

#include "standin/host/DocumentEvents.h"
#include "standin/host/FilterPlugin.h"
#include "standin/host/Host.h"
#include "host/HostResults.h"
#include "standin/host/NearestNeighbour.h"

namespace standin {

namespace {

int32_t ReadFilterParameter(void* context, uint32_t key, double* value) {
    if (context == nullptr || value == nullptr) return host::kBadParameter;
    return static_cast<const Descriptor*>(context)->GetFloat(key, value);
}

// Passes a filter's progress to the host's listener; a listener that answers
// false asks the filter to stop.
int32_t ReportFilterProgress(void* context, double fraction) {
    const auto* listener = static_cast<const std::function<bool(double)>*>(context);
    if (listener == nullptr || !*listener) return 0;
    try {
        return (*listener)(fraction) ? 0 : 1;
    } catch (...) {
        return 1;
    }
}

// `pixels` with the shape of `image`, at `resolution`.
FilterImage FilterImageOf(const Image& image, const uint8_t* pixels, double resolution) {
    return FilterImage{const_cast<uint8_t*>(pixels), image.Width(),    image.Height(),
                       image.Channels(),             image.BitsPerSample(), static_cast<ptrdiff_t>(image.RowBytes()),
                       image.AlphaChannel(),         resolution};
}

}  // namespace

FilterRequest Host::FilterRequestFor(const DeferredFilter& filter, const uint8_t* pixels) {
    const Image& image = filter.document->image;
    FilterRequest request{};
    request.size = sizeof request;
    request.image = FilterImageOf(image, pixels, filter.resolution);
    request.parameterContext = const_cast<Descriptor*>(&filter.arguments);
    request.getFloat = ReadFilterParameter;
    request.progressContext = &filterProgress_;
    request.progress = ReportFilterProgress;
    const std::vector<uint8_t>& profile = filter.document->colorProfile;
    if (!profile.empty()) {
        request.colorProfile = profile.data();
        request.colorProfileSize = static_cast<int32_t>(profile.size());
    }
    return request;
}

int32_t Host::CallFilter(Plugin& filter, const FilterRequest& request) {
    filter.running = true;
    int32_t code = 0;
    try {
        code = filter.FilterEntryPoint()(&request);
    } catch (...) {
        RecordError(filter.MenuName() + ": an exception escaped the filter");
        code = host::kPluginThrew;
    }
    filter.running = false;
    return code;
}

int32_t Host::PlayFilter(Plugin& filter, const Descriptor& arguments) {
    if (target_ == nullptr) return host::kNoTargetDocument;
    DeferredFilter played{&filter, arguments, target_, target_->image.Resolution()};
    if (historySuspended_ && filter.Info().filterSamples) {
        FilterRequest check = FilterRequestFor(played, std::as_const(target_->image).Data());
        check.checkOnly = 1;
        if (int32_t code = CallFilter(filter, check)) return code;
        deferredFilter_ = std::move(played);
        return 0;
    }
    if (int32_t code = RunWholeFilter(played)) return code;
    if (!historySuspended_) target_->history.push_back(filter.MenuName());
    return 0;
}

// Runs `filter` on its document's pixels in place; a failing filter leaves
// them as they were.
int32_t Host::RunWholeFilter(const DeferredFilter& filter) {
    Image& image = filter.document->image;
    const Image before = image;
    const int32_t code = CallFilter(*filter.plugin, FilterRequestFor(filter, image.Data()));
    if (code != 0) image = before;
    return code;
}

int32_t Host::FinishDeferredFilter() {
    if (!deferredFilter_) return 0;
    int32_t code = 0;
    try {
        code = RunWholeFilter(*deferredFilter_);
    } catch (const std::bad_alloc& error) {
        code = OutOfMemory(error);
    }
    // A filter that failed stays deferred: the document still stands for
    // its result, which a failed history block then drops.
    if (code == 0) deferredFilter_.reset();
    return code;
}

int32_t Host::PlayImageSizeOnTarget(const Descriptor& arguments) {
    if (!deferredFilter_ || deferredFilter_->document != target_) {
        if (int32_t code = FinishDeferredFilter()) return code;
        return PlayOnTarget("Image Size", PlayImageSize, arguments);
    }
    Image& image = target_->image;
    ImageSizeChange change;
    if (int32_t code = ReadImageSize(arguments, image, &change)) return code;
    if (change.resamples) {
        Image shrunk(change.width, change.height, image.Channels(), image.BitsPerSample(), image.Resolution());
        shrunk.SetCmyk(image.IsCmyk());
        if (int32_t code = RunSampledFilter(*deferredFilter_, shrunk)) return code;
        deferredFilter_.reset();
        image = shrunk;
    }
    // The filter keeps the resolution it was played at.
    image.SetResolution(change.resolution);
    return 0;
}

// Fills `shrunk` with the pixels a nearest-neighbour resample to its size
// takes from the filtered image; the document itself is not touched.
int32_t Host::RunSampledFilter(const DeferredFilter& filter, Image& shrunk) {
    const Image& image = std::as_const(filter.document->image);
    const std::vector<int32_t> columns = NearestSources(image.Width(), shrunk.Width());
    const std::vector<int32_t> rows = NearestSources(image.Height(), shrunk.Height());
    FilterRequest request = FilterRequestFor(filter, image.Data());
    request.sampledColumns = columns.data();
    request.sampledRows = rows.data();
    request.sampled = FilterImageOf(shrunk, shrunk.Data(), filter.resolution);
    return CallFilter(*filter.plugin, request);
}

}  // namespace standin
