#include "host/FourCharCodes.h"
#include "standin/host/DocumentEvents.h"
#include "standin/host/EventArguments.h"
#include "host/HostResults.h"
#include "standin/host/NearestNeighbour.h"

namespace standin {

int32_t ReadImageSize(const Descriptor& arguments, const Image& image, ImageSizeChange* change) {
    const bool resamples = arguments.HasKey(fourcc::kWidth) || arguments.HasKey(fourcc::kHeight);
    const bool setsResolution = arguments.HasKey(fourcc::kResolution);
    if (!resamples && !setsResolution) return host::kMissingParameter;

    ImageSizeChange read;
    read.resamples = resamples;
    read.width = image.Width();
    read.height = image.Height();
    read.resolution = image.Resolution();
    if (resamples) {
        if (int32_t code = ReadPixelSize(arguments, fourcc::kWidth, &read.width)) return code;
        if (int32_t code = ReadPixelSize(arguments, fourcc::kHeight, &read.height)) return code;
        uint32_t interpolation = 0;
        if (int32_t code = ReadEnumerated(arguments, fourcc::kInterpolation, fourcc::kInterpolationType,
                                          &interpolation)) {
            return code;
        }
        if (interpolation != fourcc::kNearestNeighbor) return host::kBadParameter;
        if (int32_t code = Image::CheckGeometry(read.width, read.height, image.Channels(), image.BitsPerSample())) {
            return code;
        }
    }
    if (setsResolution) {
        if (int32_t code = ReadResolution(arguments, fourcc::kResolution, &read.resolution)) return code;
    }
    *change = read;
    return 0;
}

int32_t PlayImageSize(const Descriptor& arguments, Image& image) {
    ImageSizeChange change;
    if (int32_t code = ReadImageSize(arguments, image, &change)) return code;
    if (change.resamples) image = ResampleNearest(image, change.width, change.height);
    image.SetResolution(change.resolution);
    return 0;
}

}  // namespace standin
