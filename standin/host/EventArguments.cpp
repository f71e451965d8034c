#include "standin/host/EventArguments.h"

#include <cmath>

#include "host/FourCharCodes.h"
#include "host/HostResults.h"
#include "standin/host/Image.h"

namespace standin {
namespace {

// A descriptor read where an absent key means the event lacks an argument.
int32_t AsArgumentResult(int32_t code) { return code == host::kNoSuchKey ? host::kMissingParameter : code; }

int32_t ReadUnitFloat(const Descriptor& arguments, uint32_t key, uint32_t expectedUnit, double* value) {
    uint32_t unit = 0;
    double stored = 0;
    if (int32_t code = AsArgumentResult(arguments.GetUnitFloat(key, &unit, &stored))) return code;
    if (unit != expectedUnit || !std::isfinite(stored)) return host::kBadParameter;
    *value = stored;
    return 0;
}

}  // namespace

int32_t ReadPixelSize(const Descriptor& arguments, uint32_t key, int32_t* pixels) {
    double value = 0;
    if (int32_t code = ReadUnitFloat(arguments, key, fourcc::kUnitPixels, &value)) return code;
    if (value < 0.5 || value >= static_cast<double>(kMaxImageSide) + 0.5) return host::kBadParameter;
    *pixels = static_cast<int32_t>(std::lround(value));
    return 0;
}

int32_t ReadResolution(const Descriptor& arguments, uint32_t key, double* resolution) {
    double value = 0;
    if (int32_t code = ReadUnitFloat(arguments, key, fourcc::kUnitDensity, &value)) return code;
    if (int32_t code = Image::CheckResolution(value)) return code;
    *resolution = value;
    return 0;
}

int32_t ReadEnumerated(const Descriptor& arguments, uint32_t key, uint32_t type, uint32_t* value) {
    uint32_t storedType = 0;
    uint32_t stored = 0;
    if (int32_t code = AsArgumentResult(arguments.GetEnumerated(key, &storedType, &stored))) return code;
    if (storedType != type) return host::kWrongType;
    *value = stored;
    return 0;
}

}  // namespace standin
