#include "host/FourCharCodes.h"
#include "standin/host/DocumentEvents.h"
#include "standin/host/EventArguments.h"
#include "standin/host/HostErrors.h"
#include "standin/host/NearestNeighbour.h"

namespace standin {

int32_t PlayImageSize(const Descriptor& arguments, Image& image) {
    const bool resamples = arguments.HasKey(fourcc::kWidth) || arguments.HasKey(fourcc::kHeight);
    const bool setsResolution = arguments.HasKey(fourcc::kResolution);
    if (!resamples && !setsResolution) return kMissingParameter;

    int32_t width = image.Width();
    int32_t height = image.Height();
    if (resamples) {
        if (int32_t code = ReadPixelSize(arguments, fourcc::kWidth, &width)) return code;
        if (int32_t code = ReadPixelSize(arguments, fourcc::kHeight, &height)) return code;
        uint32_t interpolation = 0;
        if (int32_t code = ReadEnumerated(arguments, fourcc::kInterpolation, fourcc::kInterpolationType,
                                          &interpolation)) {
            return code;
        }
        if (interpolation != fourcc::kNearestNeighbor) return kBadParameter;
        if (int32_t code = Image::CheckGeometry(width, height, image.Channels(), image.BitsPerSample())) {
            return code;
        }
    }
    double resolution = image.Resolution();
    if (setsResolution) {
        if (int32_t code = ReadResolution(arguments, fourcc::kResolution, &resolution)) return code;
    }

    if (resamples) image = ResampleNearest(image, width, height);
    image.SetResolution(resolution);
    return 0;
}

}  // namespace standin
