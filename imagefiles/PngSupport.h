// What the PNG reader and writer share: libpng's error callbacks, which
// record the message and jump back to the setjmp of the libpng call in
// progress. The functions holding that setjmp keep only plain data alive,
// so the jump skips no destructor.
#pragma once

#include <png.h>

#include <cstddef>

namespace standin {

constexpr size_t kPngMessageCapacity = 256;

// The error pointer given to libpng must be a char[kPngMessageCapacity].
void OnPngError(png_structp png, png_const_charp message);
// Warnings are dropped: libpng has recovered from whatever they report.
void OnPngWarning(png_structp png, png_const_charp message);

// PNG stores 16-bit samples big-endian; the host's Image holds them in
// native order.
bool HostIsLittleEndian();

}  // namespace standin
