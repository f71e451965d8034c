// demo_sample OUTPUT.png: writes the demo's sample picture (see
// HalftoneSample.h). The picture is committed, so this only needs to run
// again when the picture is changed.
#include <cstdio>
#include <exception>

#include "demo/HalftoneSample.h"
#include "imagefiles/ImageFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo_sample OUTPUT.png\n");
        return 2;
    }
    try {
        const standin::Image image = demo::RenderHalftone(demo::HalftoneSettings{});
        imagefiles::ImageFileInfo info;
        info.format = imagefiles::ImageFormat::png;
        imagefiles::WriteOptions options;
        options.overwrite = true;
        imagefiles::WriteImageFile(argv[1], image, info, options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "demo_sample: %s\n", error.what());
        return 1;
    }
    return 0;
}
