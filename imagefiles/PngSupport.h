// What the PNG reader and writer share: libpng's error and warning
// callbacks, which record the messages and, for errors, jump back to the
// setjmp of the libpng call in progress. The functions holding that setjmp
// keep only plain data alive, so the jump skips no destructor.
#pragma once

#include <png.h>

#include <cstddef>

namespace imagefiles {

constexpr size_t kPngMessageCapacity = 256;

// What libpng reported during one read or write; the error pointer given to
// libpng must be one of these.
struct PngMessages {
    char error[kPngMessageCapacity] = "";
    char lastWarning[kPngMessageCapacity] = "";
    // libpng called the ICC profile a "known incorrect" sRGB profile (some
    // old sRGB profiles whose white point is not the one they claim).
    bool knownIncorrectProfile = false;
};

void OnPngError(png_structp png, png_const_charp message);
// libpng has recovered from whatever a warning reports; the last one is kept.
void OnPngWarning(png_structp png, png_const_charp message);

// PNG stores 16-bit samples big-endian; the host's Image holds them in
// native order.
bool HostIsLittleEndian();

}  // namespace imagefiles
