// How many pixels an image may claim before a reader refuses it: the
// default comes from this machine's physical memory and can be set with the
// environment variable DECIMORA_MAX_PIXELS (the decimora program also takes
// --max-pixels). The limit is checked against a file's header, before any
// pixel buffer exists, so a file claiming 100000 x 100000 pixels costs
// nothing to refuse.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace standin {

constexpr char kMaxPixelsVariable[] = "DECIMORA_MAX_PIXELS";

// Bytes per pixel of the largest layout (16-bit RGBA), and how many copies
// of an image may be in memory at once (the image, the filter's copy, the
// resized copy and the file being written).
constexpr uint64_t kLargestPixelBytes = 8;
constexpr uint64_t kCopiesInFlight = 4;

// Used when the physical memory cannot be found out.
constexpr uint64_t kFallbackMaxPixels = uint64_t{1} << 28;

// A pixel count as given in the environment or on a command line: a whole
// decimal number from 1 up, digits only; nothing for anything else.
std::optional<uint64_t> ParsePixelCount(const std::string& text);

// Physical memory / (kLargestPixelBytes * kCopiesInFlight), at least 1.
uint64_t MemoryBasedMaxPixels();

// $DECIMORA_MAX_PIXELS when it holds a valid pixel count, else
// MemoryBasedMaxPixels(). An invalid value is ignored here; programs that
// want to refuse it check it with ParsePixelCount.
uint64_t DefaultMaxPixels();

}  // namespace standin
