#include "gimp/ReduceRun.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "gimp/BundleSession.h"
#include "gimp/CanvasPiece.h"
#include "gimp/Commit.h"
#include "gimp/DrawablePixels.h"
#include "gimp/FactorDialog.h"
#include "gimp/GimpHolders.h"
#include "gimp/ImageDrawables.h"
#include "gimp/LastValues.h"
#include "gimp/LightProfile.h"
#include "gimp/SampleFormat.h"
#include "host/FourCharCodes.h"
#include "imagefiles/Resolution.h"
#include "runner/PluginBundles.h"

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
    if (factor < runner::kMinFactor) {
        Refuse("the factor must be " + std::to_string(runner::kMinFactor) + " or more, not " + std::to_string(factor));
    }
    const gint width = gimp_image_width(image);
    const gint height = gimp_image_height(image);
    if (width < factor || height < factor) {
        Refuse(std::to_string(width) + " x " + std::to_string(height) + " pixels is smaller than the factor " +
               std::to_string(factor));
    }
}

int32_t FactorOf(const standin::Descriptor& step) {
    int32_t factor = 0;
    if (step.GetInteger(fourcc::kFactorKey, &factor) != 0 || factor < 1) {
        Refuse("the Decimora plug-in's step holds no factor");
    }
    return factor;
}

// The image's resolution as the host gets it. Files store resolutions in
// units that seldom give whole pixels per inch (300 ppi in a PNG opens as
// 299.9994); rounded as the decimora program rounds what it reads, the final
// resolution is the same.
double HostResolution(gint32 image) {
    gdouble resolution = 0.0;
    gdouble unused = 0.0;
    gimp_image_get_resolution(image, &resolution, &unused);
    return imagefiles::RoundResolution(resolution);
}

// The factor of the last reduction in this session, else the dialog's first.
int32_t PresetFactor() {
    int32_t factor = kDialogMinFactor;
    const std::optional<standin::Descriptor> last = LoadLastStep();
    if (last && last->GetInteger(fourcc::kFactorKey, &factor) != 0) factor = kDialogMinFactor;
    return factor;
}

// GIMP's own dialog asks for the factor; the bundle then runs as a script
// with it, so no window of the bundle's toolkit ever opens over GIMP.
int32_t FactorFromDialog(gint32 image) {
    CheckFactor(image, runner::kMinFactor);
    const ImageSize size{gimp_image_width(image), gimp_image_height(image), HostResolution(image)};
    const std::optional<int32_t> factor = AskForFactor(size, PresetFactor());
    if (!factor) throw Refusal{GIMP_PDB_CANCEL, ""};
    return *factor;
}

StepRequest RequestFor(const ReduceCall& call) {
    StepRequest request;
    switch (call.mode) {
        case GIMP_RUN_INTERACTIVE:
            request.source = StepSource::factor;
            request.factor = FactorFromDialog(call.image);
            CheckFactor(call.image, request.factor);
            break;
        case GIMP_RUN_WITH_LAST_VALS:
            request.source = StepSource::lastStep;
            request.lastStep = LoadLastStep();
            if (!request.lastStep) Refuse("there is no earlier reduction in this session to repeat");
            CheckFactor(call.image, FactorOf(*request.lastStep));
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
    if (gimp_item_is_layer_mask(drawable)) return "the mask of " + DrawableName(gimp_layer_from_mask(drawable));
    if (gimp_item_is_channel(drawable)) return "channel \"" + text + "\"";
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

// The factor the run will reduce by, known before any drawable is read.
int32_t RequestedFactor(const StepRequest& request) {
    return request.source == StepSource::lastStep ? FactorOf(*request.lastStep) : request.factor;
}

Bounds DrawableBounds(gint32 drawable) {
    Bounds bounds;
    gimp_drawable_offsets(drawable, &bounds.x, &bounds.y);
    bounds.width = gimp_drawable_width(drawable);
    bounds.height = gimp_drawable_height(drawable);
    return bounds;
}

// The drawable's piece of the canvas, reduced.
ReducedDrawable ReduceDrawable(gint32 image, gint32 drawable, const HostSamples& samples, int32_t factor,
                               BundleSession& session, Reduction& reduction,
                               const std::function<void(double)>& progress) {
    const Bounds piece = PieceFor(DrawableBounds(drawable), gimp_image_width(image), gimp_image_height(image), factor);
    const Babl* format = HostFormat(drawable, samples);
    standin::Image pixels = ReadPiece(drawable, format, samples.bitsPerSample, piece, HostResolution(image));
    DrawableLight light = LightProfileFor(image, format);
    if (!light.whyNot.empty()) reduction.toneNote = DrawableName(drawable) + " was reduced as coded values: " + light.whyNot;
    const runner::FileResult result = session.Reduce(DrawableName(drawable), pixels, std::move(light.profile), progress);
    if (result.outcome == runner::Outcome::cancelled) throw Refusal{GIMP_PDB_CANCEL, ""};
    if (result.outcome != runner::Outcome::reduced) Refuse(result.message);
    // The result must be the piece reduced, or the commit would misplace it.
    if (FactorOf(*session.Step()) != factor || pixels.Width() != piece.width / factor ||
        pixels.Height() != piece.height / factor) {
        Refuse("the Decimora plug-in's result is " + std::to_string(pixels.Width()) + " x " +
               std::to_string(pixels.Height()) + " pixels, not " + std::to_string(piece.width) + " x " +
               std::to_string(piece.height) + " reduced by " + std::to_string(factor));
    }
    return ReducedDrawable{drawable, format, std::move(pixels), piece.x / factor, piece.y / factor};
}

Reduction ReduceDrawables(gint32 image, const HostSamples& samples, int32_t factor, BundleSession& session) {
    const std::vector<gint32> drawables = DrawablesToReduce(image);
    if (drawables.empty()) Refuse("the image has no layer");
    Reduction reduction;
    reduction.factor = factor;
    ProgressBar bar(drawables.size());
    for (size_t index = 0; index < drawables.size(); ++index) {
        reduction.drawables.push_back(ReduceDrawable(image, drawables[index], samples, factor, session, reduction,
                                                     [&bar, index](double fraction) { bar.Show(index, fraction); }));
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
    const Reduction reduction = ReduceDrawables(call.image, samples, RequestedFactor(request), *session);
    times.Mark("read-and-reduce");
    // GIMP answers its progress bar's Cancel by ending this process. Until
    // now that leaves the image as it was; from here on it would leave a
    // half-made undo step, so the bar (and its Cancel) goes first.
    gimp_progress_end();
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
