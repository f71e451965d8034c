// The interface between the stand-in host and the filter plug-ins it loads.
//
// A filter plug-in is a bundle like the automation plug-in: a loadable module
// plus a registration file (kind = filter) that names the module's entry
// point and the string ID under which the filter's event is registered. When
// that event is played, the host calls the entry point once with the target
// document's pixels; the filter changes them in place.
//
// A filter whose registration says "filter.samples = yes" also takes two
// other kinds of request. A check (`checkOnly` set) tests the parameters and
// the image as a filtering would, and returns the code it would return
// before touching a pixel, or 0, leaving the pixels alone. A sampled request
// (`sampledColumns` set) leaves `image` as it is and writes into `sampled`
// the filtered image's pixels at the named columns and rows only: what a
// nearest-neighbour shrink takes from the filtered image, for a fraction of
// the work and without a copy of the image.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostResults.h"

extern "C" {

// The document's pixels: rows of interleaved samples in native byte order,
// 8- or 16-bit unsigned integers (full range 0..255 or 0..65535) or 32-bit
// IEEE floats (nominal range 0..1; values outside it are valid pixels).
struct FilterImage {
    void* pixels;
    int32_t width;
    int32_t height;
    int32_t channels;       // 1 to 4
    int32_t bitsPerSample;  // 8, 16 or 32 (float)
    ptrdiff_t rowBytes;     // bytes from one row to the next
    int32_t alphaChannel;   // index of the alpha channel, or -1 when there is none
    double resolution;      // pixels per inch
};

// Reads a float parameter of the played event. Returns 0 and sets `*value`
// when `key` holds a float, non-zero otherwise.
using FilterGetFloat = int32_t (*)(void* context, uint32_t key, double* value);

// Reports progress (0 to 1). A non-zero result asks the filter to stop: it
// then returns host::kUserCanceled; the host restores the pixels itself.
using FilterProgress = int32_t (*)(void* context, double fraction);

struct FilterRequest {
    int32_t size;  // sizeof(FilterRequest), so the record can grow
    FilterImage image;
    void* parameterContext;
    FilterGetFloat getFloat;
    void* progressContext;
    FilterProgress progress;  // may be null

    int32_t checkOnly;  // non-zero: check the request, change nothing
    // Null, or sampled.width source columns (each in [0, image.width)) and
    // sampled.height source rows (ascending, each in [0, image.height)):
    // sampled pixel (i, j) is the filtered pixel (sampledColumns[i],
    // sampledRows[j]). `sampled` has the image's channels, bits and alpha.
    const int32_t* sampledColumns;
    const int32_t* sampledRows;
    FilterImage sampled;

    // The document's colour profile (ICC bytes), whose tone curves say how
    // its colour samples encode light: a filter that low-passes then works
    // in light, decoding samples as it reads them and encoding as it writes.
    // Null: the samples are plain numbers, filtered as they are. (A request
    // from a host that predates these fields is shorter; see `size`.)
    const void* colorProfile;
    int32_t colorProfileSize;
};

// The entry point a filter's registration names. Returns 0 on success, or a
// host result code the host passes on as the result of Play.
using FilterEntry = int32_t (*)(const FilterRequest* request);

}  // extern "C"

// Results a filter may return besides 0 (host/HostResults.h):
// kMissingParameter for a parameter missing or out of range, kBadParameter
// for an image it cannot take, kUserCanceled, kNotEnoughMemory and
// kInternalError.
