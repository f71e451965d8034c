// The moiré filter's core: a separable low-pass that removes detail above a
// cutoff frequency from an image, in place, ahead of a shrink by an integer
// factor f with nearest-neighbour sampling (cutoff 1 / (2 f), the new
// Nyquist frequency).
//
// Response (CutoffResponse.h): gain 1 up to 0.4 × cutoff, 0.85 at 0.8 ×
// cutoff, 0.35 at 0.9 × cutoff and 0 from the cutoff up, realised to within
// about 2 %; a step edge overshoots about as much as with a Lanczos-3
// resampler. Zero phase. The edges are extended by mirroring. Each pixel
// costs about the same at every cutoff: long axes are decimated, filtered at
// a low rate and interpolated back; axes only a few cutoff wavelengths long
// are filtered through their cosine series.
//
// Samples are filtered as floats in the file's own values, colour
// premultiplied by alpha; integer samples are rounded back with clamping,
// float samples written back unclamped (see PixelRows.h for NaN and alpha).
#pragma once

#include "standin/moirefilter/FilterJob.h"
#include "standin/moirefilter/ImageView.h"
#include "standin/moirefilter/SampledOutput.h"

namespace moirenix {

struct LowPassSettings {
    // Cycles per pixel. 0 keeps only each channel's mean; from 1 upward
    // (where the pass band covers every frequency) the image is left as it is.
    double cutoff = 0.0;
    // Worker threads, the calling thread included; 0 for one per processor
    // this process may run on.
    int threads = 0;
    // Called on the calling thread between batches of rows; may be empty.
    ProgressFunction progress;
};

enum class LowPassResult {
    done,
    canceled,          // progress returned false; the output is partly written
    unsupportedImage,  // see IsSupported
    badCutoff,         // negative or not a number
};

// Filters `image` in place. Throws std::bad_alloc when memory runs out.
LowPassResult LowPass(const ImageView& image, const LowPassSettings& settings);

// Leaves `image` as it is and writes into sampled.image the pixels of the
// filtered image that `sampled` names, equal to the last bit to those
// LowPass would leave there. unsupportedImage also when `sampled` does not
// fit `image` (FitsSource).
LowPassResult LowPassSampled(const ImageView& image, const SampledOutput& sampled, const LowPassSettings& settings);

}  // namespace moirenix
