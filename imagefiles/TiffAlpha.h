// Associated alpha, as TIFF files may store it: colour samples already
// multiplied by alpha. Images hold colour unassociated, so a read divides it
// out and a write for a file that stores it associated multiplies it back.
// For integer samples the two are rounded so that a pixel read and written
// unchanged is stored as it was.
#pragma once

#include <cstddef>
#include <cstdint>

#include "standin/host/Image.h"

namespace imagefiles {

// Divides every colour sample by its pixel's alpha: colour beyond alpha
// (invalid associated data) becomes full scale, a transparent pixel black.
void UnassociateAlpha(standin::Image& image);

// Multiplies the colour samples of `count` pixels of `channels` samples of
// `bitsPerSample` bits (alpha last), in place, by their alpha.
void AssociateAlpha(uint8_t* pixels, size_t count, int channels, int bitsPerSample);

}  // namespace imagefiles
