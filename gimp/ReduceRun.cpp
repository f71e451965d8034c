#include "gimp/ReduceRun.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "cli/CommandLine.h"
#include "gimp/BundleSession.h"
#include "gimp/Commit.h"
#include "gimp/DrawablePixels.h"
#include "gimp/GimpHolders.h"
#include "gimp/ImageDrawables.h"
#include "gimp/LastValues.h"
#include "gimp/LightProfile.h"
#include "gimp/SampleFormat.h"
#include "host/FourCharCodes.h"
#include "imagefiles/Resolution.h"

namespace gimphost {

namespace {

// A reason to stop before anything is written to GIMP.
struct Refusal {
    GimpPDBStatusType status;
    std::string message;
};

[[noreturn]] void Refuse(const std::string& message) { throw Refusal{GIMP_PDB_EXECUTION_ERROR, message}; }

HostSamples CheckImage(gint32 image) {
    if (!gimp_image_is_valid(image)) Refuse("the image is not open any more");
    if (gimp_image_base_type(image) == GIMP_INDEXED) {
        Refuse("indexed images cannot be reduced without moir\xc3\xa9; convert the image to RGB or grayscale "
               "first (Image > Mode)");
    }
    if (gimp_image_get_floating_sel(image) != -1) {
        Refuse("the image has a floating selection; anchor it or make it a new layer first");
    }
    const GimpPrecision precision = gimp_image_get_precision(image);
    const std::optional<HostSamples> samples = HostSamplesFor(precision);
    if (!samples) Refuse(PrecisionName(precision) + " images cannot be reduced");
    return *samples;
}

void CheckFactor(gint32 image, int32_t factor) {
    if (factor < cli::kMinFactor) {
        Refuse("the factor must be " + std::to_string(cli::kMinFactor) + " or more, not " + std::to_string(factor));
    }
    const gint width = gimp_image_width(image);
    const gint height = gimp_image_height(image);
    if (width < factor || height < factor) {
        Refuse(std::to_string(width) + " x " + std::to_string(height) + " pixels is smaller than the factor " +
               std::to_string(factor));
    }
}

StepRequest RequestFor(const ReduceCall& call) {
    StepRequest request;
    switch (call.mode) {
        case GIMP_RUN_INTERACTIVE:
            request.source = StepSource::dialog;
            request.lastStep = LoadLastStep();
            break;
        case GIMP_RUN_WITH_LAST_VALS:
            request.source = StepSource::lastStep;
            request.lastStep = LoadLastStep();
            if (!request.lastStep) Refuse("there is no earlier reduction in this session to repeat");
            break;
        default:
            request.source = StepSource::factor;
            request.factor = call.factor;
            CheckFactor(call.image, call.factor);
            break;
    }
    return request;
}

std::string DrawableName(gint32 drawable) {
    const std::unique_ptr<gchar, FreeMemory> name(gimp_item_get_name(drawable));
    const std::string text = name ? name.get() : "";
    if (gimp_item_is_layer_mask(drawable)) {
        return "the mask of layer \"" + DrawableName(gimp_layer_from_mask(drawable)) + "\"";
    }
    return "layer \"" + text + "\"";
}

// GIMP's progress bar over all drawables, each an equal share; updated in
// steps of half a percent, since each update is a message to GIMP.
class ProgressBar {
public:
    explicit ProgressBar(size_t parts) : parts_(static_cast<double>(parts)) {
        gimp_progress_init("Reducing without moir\xc3\xa9");
    }
    void Show(size_t part, double fraction) {
        const double total = (static_cast<double>(part) + fraction) / parts_;
        if (std::abs(total - shown_) < 0.005 && total < 1.0) return;
        shown_ = total;
        gimp_progress_update(total);
    }

private:
    double parts_;
    double shown_ = -1.0;
};

int32_t FactorOf(const standin::Descriptor& step) {
    int32_t factor = 0;
    if (step.GetInteger(fourcc::kFactorKey, &factor) != 0 || factor < 1) {
        Refuse("the Decimora plug-in's step holds no factor");
    }
    return factor;
}

Reduction ReduceDrawables(gint32 image, const HostSamples& samples, BundleSession& session) {
    const std::vector<gint32> drawables = DrawablesToReduce(image);
    const gint width = gimp_image_width(image);
    const gint height = gimp_image_height(image);
    gdouble resolution = 0.0;
    gdouble unused = 0.0;
    gimp_image_get_resolution(image, &resolution, &unused);
    // Files store resolutions in units that seldom give whole pixels per
    // inch (300 ppi in a PNG opens as 299.9994); rounded as the decimora
    // program rounds what it reads, the final resolution is the same.
    resolution = imagefiles::RoundResolution(resolution);

    Reduction reduction;
    ProgressBar bar(drawables.size());
    for (size_t index = 0; index < drawables.size(); ++index) {
        const gint32 drawable = drawables[index];
        const Babl* format = HostFormat(drawable, samples);
        standin::Image pixels = ReadOnCanvas(drawable, format, samples.bitsPerSample, width, height, resolution);
        DrawableLight light = LightProfileFor(image, format);
        if (!light.whyNot.empty()) reduction.toneNote = DrawableName(drawable) + " was reduced as coded values: " + light.whyNot;
        const cli::FileResult result =
            session.Reduce(DrawableName(drawable), pixels, std::move(light.profile),
                           [&bar, index](double fraction) { bar.Show(index, fraction); });
        if (result.outcome == cli::Outcome::cancelled) throw Refusal{GIMP_PDB_CANCEL, ""};
        if (result.outcome != cli::Outcome::reduced) Refuse(result.message);
        reduction.drawables.push_back(ReducedDrawable{drawable, format, std::move(pixels)});
    }
    if (reduction.drawables.empty()) Refuse("the image has no layer");
    reduction.factor = FactorOf(*session.Step());
    // Every result must be the reduced canvas the commit will make.
    for (const ReducedDrawable& drawable : reduction.drawables) {
        if (drawable.reduced.Width() != width / reduction.factor ||
            drawable.reduced.Height() != height / reduction.factor) {
            Refuse("the Decimora plug-in's result is " + std::to_string(drawable.reduced.Width()) + " x " +
                   std::to_string(drawable.reduced.Height()) + " pixels, not the image reduced by " +
                   std::to_string(reduction.factor));
        }
    }
    bar.Show(drawables.size(), 0.0);
    return reduction;
}

// With DECIMORA_GIMP_TIMES set, the run's phases are printed to stderr
// (GIMP's output) for scripts/bench-gimp.sh.
class PhaseTimes {
public:
    PhaseTimes() : enabled_(std::getenv("DECIMORA_GIMP_TIMES") != nullptr), start_(Clock::now()), last_(start_) {}
    void Mark(const char* phase) {
        if (!enabled_) return;
        const Clock::time_point now = Clock::now();
        std::fprintf(stderr, "decimora-gimp: %s %.3f s\n", phase, std::chrono::duration<double>(now - last_).count());
        last_ = now;
    }
    void Whole() {
        if (!enabled_) return;
        std::fprintf(stderr, "decimora-gimp: whole %.3f s\n",
                     std::chrono::duration<double>(Clock::now() - start_).count());
    }

private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    Clock::time_point start_;
    Clock::time_point last_;
};

ReduceAnswer Reduce(const ReduceCall& call) {
    PhaseTimes times;
    const HostSamples samples = CheckImage(call.image);
    const StepRequest request = RequestFor(call);
    std::optional<BundleSession> session;
    try {
        session.emplace(standin::Host::DefaultPluginFolder(), request);
    } catch (const std::runtime_error& error) {
        Refuse(error.what());
    }
    times.Mark("load-bundles");
    const Reduction reduction = ReduceDrawables(call.image, samples, *session);
    times.Mark("read-and-reduce");
    const std::string failure = CommitReduction(call.image, reduction);
    times.Mark("commit");
    if (!failure.empty()) return {GIMP_PDB_EXECUTION_ERROR, failure};
    StoreLastStep(session->DecimoraEvent(), *session->Step());
    // Reduced, but not in light: the user hears why.
    if (!reduction.toneNote.empty()) gimp_message(reduction.toneNote.c_str());
    if (call.mode != GIMP_RUN_NONINTERACTIVE) gimp_displays_flush();
    times.Whole();
    return {GIMP_PDB_SUCCESS, ""};
}

}  // namespace

ReduceAnswer RunReduce(const ReduceCall& call) {
    try {
        return Reduce(call);
    } catch (const Refusal& refusal) {
        return {refusal.status, refusal.message};
    } catch (const std::exception& error) {
        return {GIMP_PDB_EXECUTION_ERROR, error.what()};
    } catch (...) {
        return {GIMP_PDB_EXECUTION_ERROR, "an unexpected failure"};
    }
}

}  // namespace gimphost
