// Conversion between a row of the image's samples and the filter's
// working rows: one float plane per channel, in light when the image says
// how its samples encode light (image.tone), else in the coded values as they
// are, with colour premultiplied by alpha so that transparent pixels carry no
// colour into their neighbours.
#pragma once

#include <cstddef>

#include "standin/moirefilter/ImageView.h"

namespace moirenix {

// Reads the `image.width` pixels at `row` into `planes`: channel c's plane
// starts at planes + c * planeStride. Colour samples are decoded to light
// through their tone curves, if any; then colour channels are multiplied by
// alpha / MaxValue when the image has alpha. Float samples that are NaN or
// infinite read as 0, so that the filtered image is finite.
void ReadPixelRow(const ImageView& image, const unsigned char* row, float* planes, size_t planeStride);

// Writes `planes` back to `row`: colour divided by the filtered alpha again
// and encoded through its tone curve, if any; integer samples clamped to
// their range and rounded to the nearest code, float samples written as they
// are (outside 0..1 too). Where the filtered
// alpha rounds to 0 (for floats: is below half a 16-bit step) the pixel is
// transparent; its colour samples are then left as they are in `row`.
void WritePixelRow(const ImageView& image, const float* planes, size_t planeStride, unsigned char* row);

}  // namespace moirenix
