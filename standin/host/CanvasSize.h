// Canvas size: a new width and height, the kept area placed by an anchor on
// each axis. Cropping drops what falls outside; growing fills with zeros
// (black and, with alpha, transparent). The resolution is kept.
#pragma once

#include <cstdint>

#include "standin/host/Image.h"

namespace standin {

// Where the old image sits in the new canvas along one axis. A centred
// change of an odd number of pixels puts the odd pixel at the right/bottom.
enum class Anchor { start, center, end };

// The image on the new canvas. The size must pass Image::CheckGeometry.
Image ResizeCanvas(const Image& image, int32_t width, int32_t height, Anchor horizontal, Anchor vertical);

}  // namespace standin
