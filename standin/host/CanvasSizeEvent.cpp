#include "host/FourCharCodes.h"
#include "standin/host/CanvasSize.h"
#include "standin/host/DocumentEvents.h"
#include "standin/host/EventArguments.h"
#include "host/HostResults.h"

namespace standin {
namespace {

// The anchor under `key`, centred when the key is absent.
int32_t ReadAnchor(const Descriptor& arguments, uint32_t key, uint32_t type, uint32_t start, uint32_t center,
                   uint32_t end, Anchor* anchor) {
    if (!arguments.HasKey(key)) {
        *anchor = Anchor::center;
        return 0;
    }
    uint32_t value = 0;
    if (int32_t code = ReadEnumerated(arguments, key, type, &value)) return code;
    if (value == start) {
        *anchor = Anchor::start;
    } else if (value == center) {
        *anchor = Anchor::center;
    } else if (value == end) {
        *anchor = Anchor::end;
    } else {
        return host::kBadParameter;
    }
    return 0;
}

}  // namespace

int32_t PlayCanvasSize(const Descriptor& arguments, Image& image) {
    int32_t width = 0;
    int32_t height = 0;
    Anchor horizontal = Anchor::center;
    Anchor vertical = Anchor::center;
    if (int32_t code = ReadPixelSize(arguments, fourcc::kWidth, &width)) return code;
    if (int32_t code = ReadPixelSize(arguments, fourcc::kHeight, &height)) return code;
    if (int32_t code = ReadAnchor(arguments, fourcc::kHorizontal, fourcc::kHorizontalLocation, fourcc::kLeft,
                                  fourcc::kHorizontalCenter, fourcc::kRight, &horizontal)) {
        return code;
    }
    if (int32_t code = ReadAnchor(arguments, fourcc::kVertical, fourcc::kVerticalLocation, fourcc::kTop,
                                  fourcc::kVerticalCenter, fourcc::kBottom, &vertical)) {
        return code;
    }
    if (int32_t code = Image::CheckGeometry(width, height, image.Channels(), image.BitsPerSample())) return code;
    image = ResizeCanvas(image, width, height, horizontal, vertical);
    return 0;
}

}  // namespace standin
