// Times writing and reading a 48-megapixel RGB TIFF (8000 x 6000), the size
// the command-line benchmark works on, uncompressed and with LZW.
//     imagefiles_bench [folder]     (default /tmp)
#include <chrono>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "imagefiles/ImageFile.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

standin::Image Gradient(int32_t width, int32_t height) {
    standin::Image image(width, height, 3, 8, 300.0);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = image.PixelAt(0, y);
        for (size_t i = 0; i < image.RowBytes(); ++i) {
            row[i] = static_cast<uint8_t>((i / 3 + static_cast<size_t>(y)) & 0xFF);
        }
    }
    return image;
}

void Time(const std::string& path, const standin::Image& image, imagefiles::TiffCompression compression) {
    imagefiles::ImageFileInfo info;
    info.layout.tiffCompression = compression;
    imagefiles::WriteOptions options;
    options.overwrite = true;
    auto start = std::chrono::steady_clock::now();
    imagefiles::WriteImageFile(path, image, info, options);
    const double written = SecondsSince(start);
    start = std::chrono::steady_clock::now();
    const imagefiles::ImageFile file = imagefiles::ReadImageFile(path);
    const double read = SecondsSince(start);
    const double megapixels = image.Width() * static_cast<double>(image.Height()) / 1e6;
    std::printf("%-5s write %.3f s (%.0f MP/s)  read %.3f s (%.0f MP/s)%s\n",
                compression == imagefiles::TiffCompression::none ? "none" : "lzw", written, megapixels / written, read,
                megapixels / read, file.image == image ? "" : "  MISMATCH");
    unlink(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string path = folder + "/imagefiles_bench_" + std::to_string(getpid()) + ".tif";
    const standin::Image image = Gradient(8000, 6000);
    try {
        Time(path, image, imagefiles::TiffCompression::none);
        Time(path, image, imagefiles::TiffCompression::lzw);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "imagefiles_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
