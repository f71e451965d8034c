#include "imagefiles/PngSupport.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace imagefiles {

void OnPngError(png_structp png, png_const_charp message) {
    PngMessages* messages = static_cast<PngMessages*>(png_get_error_ptr(png));
    std::snprintf(messages->error, kPngMessageCapacity, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp png, png_const_charp message) {
    PngMessages* messages = static_cast<PngMessages*>(png_get_error_ptr(png));
    std::snprintf(messages->lastWarning, kPngMessageCapacity, "%s", message);
    if (std::strstr(message, "known incorrect") != nullptr) messages->knownIncorrectProfile = true;
}

bool HostIsLittleEndian() {
    const uint16_t probe = 1;
    uint8_t first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

}  // namespace imagefiles
