// Reading a TIFF directory's pixels row by row or tile by tile, plane by
// plane, through one buffer the size of a row or tile; each decoded row
// goes into the image through a TiffSampleConverter.
#pragma once

#include <string>

#include "imagefiles/TiffHandle.h"
#include "imagefiles/TiffPixelPlan.h"
#include "imagefiles/TiffSampleConversion.h"
#include "standin/host/Image.h"

namespace imagefiles {

// Throws ImageFileError (corruptData) when a strip or tile cannot be read or
// the sizes libtiff computes do not match the plan.
void ReadTiffChunks(const TiffHandle& tiff, const std::string& path, const TiffPixelPlan& plan,
                    const TiffSampleConverter& converter, standin::Image& image);

}  // namespace imagefiles
