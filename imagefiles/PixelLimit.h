// How many pixels an image may claim before a reader refuses it: the
// default is what the memory budget and the free scratch space hold
// (ScratchSettings.h), and the environment variable DECIMORA_MAX_PIXELS sets
// another (the decimora program also takes --max-pixels). The limit is checked against a file's header, before any
// pixel buffer exists, so a file claiming 100000 x 100000 pixels costs
// nothing to refuse.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace imagefiles {

constexpr char kMaxPixelsVariable[] = "DECIMORA_MAX_PIXELS";

// How many copies of an image may exist at once (the image, its history
// snapshot, the filter's output and the cropped or resized copy), for the
// check of a file's own size against the memory and scratch space.
constexpr uint64_t kCopiesInFlight = 4;

// A pixel count as given in the environment or on a command line: a whole
// decimal number from 1 up, digits only; nothing for anything else.
std::optional<uint64_t> ParsePixelCount(const std::string& text);

// (memory budget + free scratch space) / kCopiesInFlight, at least 1, with
// the scratch settings in force: the most pixels an image of the narrowest
// layout (one byte a pixel) may have for its copies to fit. Wider layouts
// are held to their own byte size by the space check each reader makes
// (ImageLimits.h), so the default refuses no file that space would take.
uint64_t SpaceBasedMaxPixels();

// $DECIMORA_MAX_PIXELS when it holds a valid pixel count, else
// SpaceBasedMaxPixels(). An invalid value is ignored here; programs that
// want to refuse it check it with ParsePixelCount.
uint64_t DefaultMaxPixels();

}  // namespace imagefiles
