#include "imagefiles/TiffRawStrips.h"

#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <system_error>
#include <cerrno>
#include <thread>
#include <vector>

using standin::Image;

namespace imagefiles {
namespace {

// Below this many bytes of pixels one thread reads them all: starting
// threads would cost more than they save.
constexpr uint64_t kThreadedFromBytes = uint64_t{16} << 20;
constexpr int kMaxThreads = 8;

struct Strip {
    uint64_t offset;
    uint64_t bytes;  // what the image takes of it
    uint8_t* target;
};

int ProcessorCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) return CPU_COUNT(&set);
    return static_cast<int>(std::thread::hardware_concurrency());
}

bool ReadFully(int fd, const Strip& strip) {
    uint64_t done = 0;
    while (done < strip.bytes) {
        const ssize_t got = pread(fd, strip.target + done, strip.bytes - done, static_cast<off_t>(strip.offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<uint64_t>(got);
    }
    return true;
}

// The file's strips with where they go, or nothing when a strip is not one
// the image can take as it is.
std::vector<Strip> PlanStrips(TIFF* tiff, int fd, Image& image) {
    uint16_t compression = COMPRESSION_NONE;
    uint16_t fillOrder = FILLORDER_MSB2LSB;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_FILLORDER, &fillOrder);
    const bool swapped = TIFFIsByteSwapped(tiff) != 0 && image.BitsPerSample() != 8;
    if (compression != COMPRESSION_NONE || fillOrder != FILLORDER_MSB2LSB || swapped) return {};
    struct stat status;
    if (fstat(fd, &status) != 0) return {};
    const auto fileSize = static_cast<uint64_t>(status.st_size);

    const auto height = static_cast<uint32_t>(image.Height());
    uint32_t rowsPerStrip = height;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    if (rowsPerStrip == 0 || rowsPerStrip > height) rowsPerStrip = height;
    const uint64_t rowBytes = image.RowBytes();
    std::vector<Strip> strips;
    for (uint32_t row = 0; row < height; row += rowsPerStrip) {
        const uint32_t index = TIFFComputeStrip(tiff, row, 0);
        int failed = 0;
        const uint64_t offset = TIFFGetStrileOffsetWithErr(tiff, index, &failed);
        const uint64_t stored = failed ? 0 : TIFFGetStrileByteCountWithErr(tiff, index, &failed);
        const uint64_t bytes = std::min(rowsPerStrip, height - row) * rowBytes;
        if (failed || stored < bytes || offset > fileSize || fileSize - offset < bytes) return {};
        strips.push_back(Strip{offset, bytes, image.PixelAt(0, static_cast<int32_t>(row))});
    }
    return strips;
}

}  // namespace

RawStripsRead ReadRawStrips(TIFF* tiff, int fd, Image& image, std::string* error) {
    const std::vector<Strip> strips = PlanStrips(tiff, fd, image);
    if (strips.empty()) return RawStripsRead::notRaw;
    const uint64_t total = static_cast<uint64_t>(image.RowBytes()) * static_cast<uint64_t>(image.Height());
    const size_t threads = total < kThreadedFromBytes
                               ? 1
                               : static_cast<size_t>(std::clamp(ProcessorCount(), 1, kMaxThreads));
    // Each thread reads one run of consecutive strips; the first failing
    // strip is kept.
    std::atomic<size_t> firstFailure{strips.size()};
    const auto readRun = [&](size_t part) {
        const size_t begin = strips.size() * part / threads;
        const size_t end = strips.size() * (part + 1) / threads;
        for (size_t i = begin; i < end; ++i) {
            if (ReadFully(fd, strips[i])) continue;
            size_t known = firstFailure.load();
            while (i < known && !firstFailure.compare_exchange_weak(known, i)) {
            }
            return;
        }
    };
    std::vector<std::thread> helpers;
    for (size_t part = 1; part < threads; ++part) {
        try {
            helpers.emplace_back(readRun, part);
        } catch (const std::system_error&) {
            readRun(part);  // no thread to be had: read that run here
        }
    }
    readRun(0);
    for (std::thread& helper : helpers) helper.join();
    if (firstFailure.load() == strips.size()) return RawStripsRead::done;
    *error = "cannot read strip " + std::to_string(firstFailure.load());
    return RawStripsRead::failed;
}

}  // namespace imagefiles
