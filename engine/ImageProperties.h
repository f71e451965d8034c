// The active document's size as the pipeline needs it.
#pragma once

#include <cstdint>

struct ImageProperties {
    int32_t height;     // pixels
    int32_t width;      // pixels
    double resolution;  // pixels per inch, as the host reports it
};
