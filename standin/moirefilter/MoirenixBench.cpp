// Prints the moiré filter's throughput, in megapixels per second, on a
// synthetic RGB image at the cutoffs of several reduction factors, for 8-bit,
// 16-bit and float samples and for 1 and 2 threads: the figures should stay about flat across
// the factors.
//
// Usage: moirenix_bench [width height [factor ...]]  (default 8000 6000, and
// factors 2 3 4 5 8 11 16)
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <type_traits>
#include <vector>

#include "standin/moirefilter/LowPass.h"

namespace {

// A halftone-like pattern: a fine screen over smooth gradients, a different
// phase per channel (built from one table per axis, so that filling the
// image takes little time next to filtering it).
template <class Sample>
void FillPattern(std::vector<Sample>& pixels, int64_t width, int64_t height, double maxValue) {
    std::vector<double> across(static_cast<size_t>(width * 3));
    for (int64_t x = 0; x < width; ++x) {
        for (int c = 0; c < 3; ++c) {
            across[static_cast<size_t>(x * 3 + c)] =
                0.3 * std::sin(0.001 * static_cast<double>(x) + c) + 0.2 * std::cos(1.2 * static_cast<double>(x) + 2.1 * c);
        }
    }
    for (int64_t y = 0; y < height; ++y) {
        const double down = 0.5 + 0.2 * std::sin(0.002 * static_cast<double>(y)) * std::cos(0.9 * static_cast<double>(y));
        Sample* row = pixels.data() + static_cast<size_t>(y * width * 3);
        for (int64_t i = 0; i < width * 3; ++i) {
            const double value = std::fmin(1.0, std::fmax(0.0, down + across[static_cast<size_t>(i)]));
            row[i] = std::is_floating_point_v<Sample> ? static_cast<Sample>(value)
                                                      : static_cast<Sample>(value * maxValue + 0.5);
        }
    }
}

template <class Sample>
double SecondsFor(std::vector<Sample>& pixels, int64_t width, int64_t height, int factor, int threads) {
    moirenix::ImageView image;
    image.pixels = pixels.data();
    image.width = width;
    image.height = height;
    image.channels = 3;
    image.bitsPerSample = static_cast<int>(sizeof(Sample) * 8);
    image.rowBytes = static_cast<ptrdiff_t>(width * 3 * static_cast<int64_t>(sizeof(Sample)));
    moirenix::LowPassSettings settings;
    settings.cutoff = 1.0 / (2.0 * factor);
    settings.threads = threads;
    const auto start = std::chrono::steady_clock::now();
    const moirenix::LowPassResult result = moirenix::LowPass(image, settings);
    const auto stop = std::chrono::steady_clock::now();
    if (result != moirenix::LowPassResult::done) {
        std::fprintf(stderr, "filter failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(stop - start).count();
}

template <class Sample>
void RunRow(int64_t width, int64_t height, const std::vector<int>& factors, double maxValue) {
    std::vector<Sample> pixels(static_cast<size_t>(width * height * 3));
    for (int threads = 1; threads <= 2; ++threads) {
        const char* depth = std::is_floating_point_v<Sample> ? "float " : sizeof(Sample) == 1 ? " 8-bit" : "16-bit";
        std::printf("%s  %d thread%s", depth, threads, threads == 1 ? " " : "s");
        for (int factor : factors) {
            FillPattern(pixels, width, height, maxValue);
            const double seconds = SecondsFor(pixels, width, height, factor, threads);
            std::printf(" %8.1f", static_cast<double>(width * height) / seconds / 1e6);
            std::fflush(stdout);
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    int64_t width = 8000;
    int64_t height = 6000;
    std::vector<int> factors{2, 3, 4, 5, 8, 11, 16};
    if (argc >= 3) {
        width = std::atoll(argv[1]);
        height = std::atoll(argv[2]);
    }
    if (argc >= 4) {
        factors.clear();
        for (int i = 3; i < argc; ++i) factors.push_back(std::atoi(argv[i]));
    }
    if (width <= 0 || height <= 0 || factors.empty()) {
        std::fprintf(stderr, "usage: moirenix_bench [width height [factor ...]]\n");
        return 2;
    }
    std::printf("Moire filter on a %lldx%lld RGB image: megapixels per second\n", static_cast<long long>(width),
                static_cast<long long>(height));
    std::printf("factor           ");
    for (int factor : factors) std::printf(" %8d", factor);
    std::printf("\n");
    RunRow<uint8_t>(width, height, factors, 255.0);
    RunRow<uint16_t>(width, height, factors, 65535.0);
    RunRow<float>(width, height, factors, 1.0);
    return 0;
}
