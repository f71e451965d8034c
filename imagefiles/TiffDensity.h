// The density fields of a TIFF directory (XResolution, YResolution,
// ResolutionUnit) read into what the file states, and written back from it:
// nothing, an aspect ratio (unit none) or a resolution, which is written in
// inches.
#pragma once

#include <tiffio.h>

#include "imagefiles/ImageFile.h"
#include "standin/host/Image.h"

namespace imagefiles {

struct TiffDensity {
    // What the image opens at: the stated resolution, else 72 ppi.
    double resolution = 0.0;
    StoredDensity density;
};

// A directory without XResolution, or with values that are no usable
// density, states nothing.
TiffDensity ReadTiffDensity(TIFF* tiff);

// Sets the fields for `density`, the resolution's from `image`; none for
// DensityKind::none. False when libtiff refuses a field.
bool SetTiffDensityFields(TIFF* tiff, const standin::Image& image, const StoredDensity& density);

}  // namespace imagefiles
