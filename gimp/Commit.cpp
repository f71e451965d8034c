#include "gimp/Commit.h"

#include "gimp/DrawablePixels.h"

namespace gimphost {

namespace {

// The context's interpolation is set for the scale and given back after.
class NearestNeighbourContext {
public:
    NearestNeighbourContext() {
        gimp_context_push();
        gimp_context_set_interpolation(GIMP_INTERPOLATION_NONE);
    }
    ~NearestNeighbourContext() { gimp_context_pop(); }
    NearestNeighbourContext(const NearestNeighbourContext&) = delete;
    NearestNeighbourContext& operator=(const NearestNeighbourContext&) = delete;
};

class UndoGroup {
public:
    explicit UndoGroup(gint32 image) : image_(image) { gimp_image_undo_group_start(image_); }
    ~UndoGroup() { gimp_image_undo_group_end(image_); }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    gint32 image_;
};

std::string ChangeGeometry(gint32 image, int32_t factor) {
    const gint width = gimp_image_width(image);
    const gint height = gimp_image_height(image);
    const gint croppedWidth = width - width % factor;
    const gint croppedHeight = height - height % factor;
    if ((croppedWidth != width || croppedHeight != height) &&
        !gimp_image_crop(image, croppedWidth, croppedHeight, 0, 0)) {
        return "GIMP refused the crop";
    }
    const NearestNeighbourContext context;
    if (!gimp_image_scale(image, croppedWidth / factor, croppedHeight / factor)) return "GIMP refused the scale";
    return "";
}

}  // namespace

std::string CommitReduction(gint32 image, const Reduction& reduction) {
    if (reduction.drawables.empty()) return "there is no layer to reduce";
    const double reducedResolution = reduction.drawables.front().reduced.Resolution();
    gdouble resolutionX = 0.0;
    gdouble resolutionY = 0.0;
    gimp_image_get_resolution(image, &resolutionX, &resolutionY);

    const UndoGroup group(image);
    std::string failure = ChangeGeometry(image, reduction.factor);
    for (const ReducedDrawable& drawable : reduction.drawables) {
        if (!failure.empty()) break;
        // A layer the crop left nothing of is gone.
        if (!gimp_item_is_valid(drawable.drawable)) continue;
        if (!WriteFromPiece(drawable.drawable, drawable.format, drawable.reduced, drawable.originX, drawable.originY)) {
            failure = "GIMP refused the reduced pixels";
        }
    }
    // The host keeps one resolution; a vertical one that differs keeps its
    // ratio to the horizontal.
    const double reducedY = resolutionY == resolutionX ? reducedResolution : resolutionY * reducedResolution / resolutionX;
    if (failure.empty() && !gimp_image_set_resolution(image, reducedResolution, reducedY)) {
        failure = "GIMP refused the resolution";
    }
    if (!failure.empty()) return failure + " part-way; Edit > Undo puts the image back";
    return "";
}

}  // namespace gimphost
