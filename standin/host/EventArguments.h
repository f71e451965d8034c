// Reading an event's arguments out of its descriptor, with the checks a real
// host makes: required keys present (host::kMissingParameter), values of the right
// type (host::kWrongType), units it understands, finite values in range
// (host::kBadParameter).
#pragma once

#include <cstdint>

#include "standin/host/Descriptor.h"

namespace standin {

// A size in pixels: a unit float in '#Pxl', rounded to the nearest whole
// pixel, from 1 to kMaxImageSide.
int32_t ReadPixelSize(const Descriptor& arguments, uint32_t key, int32_t* pixels);

// A resolution: a unit float in '#Rsl' (pixels per inch) that
// Image::CheckResolution accepts.
int32_t ReadResolution(const Descriptor& arguments, uint32_t key, double* resolution);

// An enumerated value of enumeration `type`.
int32_t ReadEnumerated(const Descriptor& arguments, uint32_t key, uint32_t type, uint32_t* value);

}  // namespace standin
