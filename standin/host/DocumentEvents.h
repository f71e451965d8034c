// The built-in events that change a document, played on its image. Each
// checks all of its arguments before it changes anything: a refused event
// returns its code and leaves the image exactly as it was.
#pragma once

#include <cstdint>

#include "standin/host/Descriptor.h"
#include "standin/host/Image.h"

namespace standin {

// 'CnvS': 'Wdth' and 'Hght' (unit float '#Pxl', both required); optional
// anchors 'Hrzn' ('HrzL': 'Left', 'HCnt', 'Rght') and 'Vrtc' ('VrtL': 'Top ',
// 'VCnt', 'Bttm'), centred when absent.
int32_t PlayCanvasSize(const Descriptor& arguments, Image& image);

// 'ImgS': 'Rslt' (unit float '#Rsl') alone changes only the resolution.
// 'Wdth' and 'Hght' (unit float '#Pxl', both or neither) resample with the
// interpolation 'Intr' ('Intp'), which must be given and must be 'Nrst'; the
// resolution is kept unless 'Rslt' is given too.
int32_t PlayImageSize(const Descriptor& arguments, Image& image);

// What an 'ImgS' asks of `image`: its arguments read and checked in full,
// as PlayImageSize does before it changes anything.
struct ImageSizeChange {
    bool resamples = false;
    int32_t width = 0;
    int32_t height = 0;
    double resolution = 0.0;
};
int32_t ReadImageSize(const Descriptor& arguments, const Image& image, ImageSizeChange* change);

}  // namespace standin
