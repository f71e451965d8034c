#include "imagefiles/TiffRawStrips.h"

#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <system_error>
#include <cerrno>
#include <functional>
#include <thread>
#include <vector>

using standin::Image;

namespace imagefiles {
namespace {

// The bytes of strips a thread reads before it takes the next run: one huge
// page of the image.
constexpr uint64_t kRunBytes = uint64_t{2} << 20;

// Below this many bytes of pixels one thread reads them all: starting
// threads would cost more than they save.
constexpr uint64_t kThreadedFromBytes = uint64_t{16} << 20;
constexpr int kMaxThreads = 8;

// A strip, or a piece of one no larger than kRunBytes.
struct Strip {
    uint64_t offset;
    uint64_t bytes;        // what the image takes of it
    uint64_t imageOffset;  // where it goes, from the image's first byte
    uint32_t index;        // the strip's number in the file
};

int ProcessorCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) return CPU_COUNT(&set);
    return static_cast<int>(std::thread::hardware_concurrency());
}

// Calls `transfer(done)`, a pread or pwrite of what is left after `done`
// bytes, until `bytes` have moved; false when one fails or moves nothing.
template <typename Transfer>
bool TransferFully(uint64_t bytes, const Transfer& transfer) {
    uint64_t done = 0;
    while (done < bytes) {
        const ssize_t moved = transfer(done);
        if (moved < 0 && errno == EINTR) continue;
        if (moved <= 0) return false;
        done += static_cast<uint64_t>(moved);
    }
    return true;
}

bool ReadFully(int fd, uint8_t* target, uint64_t bytes, uint64_t offset) {
    return TransferFully(bytes, [&](uint64_t done) {
        return pread(fd, target + done, bytes - done, static_cast<off_t>(offset + done));
    });
}

bool WriteFully(int fd, const uint8_t* source, uint64_t bytes, uint64_t offset) {
    return TransferFully(bytes, [&](uint64_t done) {
        return pwrite(fd, source + done, bytes - done, static_cast<off_t>(offset + done));
    });
}

// Puts strips where they go in the image. Pixels in memory are read into
// straight. Pixels in a mapped scratch file are read into a buffer and
// written to the file: a page first touched through the mapping is
// zero-filled by the kernel before the copy overwrites it, which took two
// fifths of the processor time of reading a 1.4-gigapixel image, while whole
// pages written to the file are not.
class StripCopier {
public:
    // `pixels` are the image's writable bytes; `scratchFile` the file mapped
    // there, or -1.
    StripCopier(int fd, uint8_t* pixels, int scratchFile) : fd_(fd), scratchFile_(scratchFile), pixels_(pixels) {
        if (scratchFile_ >= 0) buffer_.resize(kRunBytes);
    }

    bool Copy(const Strip& strip) {
        if (scratchFile_ < 0) return ReadFully(fd_, pixels_ + strip.imageOffset, strip.bytes, strip.offset);
        return ReadFully(fd_, buffer_.data(), strip.bytes, strip.offset) &&
               WriteFully(scratchFile_, buffer_.data(), strip.bytes, strip.imageOffset);
    }

private:
    int fd_;
    int scratchFile_;
    uint8_t* pixels_;
    std::vector<uint8_t> buffer_;
};

// The file's strips, in pieces, with where they go, or nothing when a strip is not one
// the image can take as it is.
std::vector<Strip> PlanStrips(TIFF* tiff, int fd, const Image& image) {
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
        const uint64_t imageOffset = row * rowBytes;
        for (uint64_t done = 0; done < bytes; done += kRunBytes) {
            strips.push_back(Strip{offset + done, std::min(kRunBytes, bytes - done), imageOffset + done, index});
        }
    }
    return strips;
}

// Where each run of strips starts, and one past the last strip.
std::vector<size_t> RunStarts(const std::vector<Strip>& strips) {
    std::vector<size_t> starts{0};
    uint64_t bytes = 0;
    for (size_t i = 0; i < strips.size(); ++i) {
        if (bytes >= kRunBytes) {
            starts.push_back(i);
            bytes = 0;
        }
        bytes += strips[i].bytes;
    }
    starts.push_back(strips.size());
    return starts;
}

}  // namespace

RawStripsRead ReadRawStrips(TIFF* tiff, int fd, Image& image, std::string* error) {
    const std::vector<Strip> strips = PlanStrips(tiff, fd, image);
    if (strips.empty()) return RawStripsRead::notRaw;
    const uint64_t total = static_cast<uint64_t>(image.RowBytes()) * static_cast<uint64_t>(image.Height());
    const size_t threads = total < kThreadedFromBytes
                               ? 1
                               : static_cast<size_t>(std::clamp(ProcessorCount(), 1, kMaxThreads));
    // The threads take runs of consecutive strips, about kRunBytes each, in
    // turn until none is left: the first touches of the image's pages cost
    // more in some places than in others, so equal shares fixed up front
    // would leave one thread reading alone at the end. After a failure no
    // new run is started; the first failing piece is kept.
    const std::vector<size_t> runStarts = RunStarts(strips);
    std::atomic<size_t> nextRun{0};
    std::atomic<size_t> firstFailure{strips.size()};
    // Every thread's copier, made here so that a buffer that cannot be had
    // throws in the caller's thread.
    std::vector<StripCopier> copiers(threads, StripCopier(fd, image.Data(), image.WritableScratchFile()));
    const auto readRuns = [&](StripCopier& copier) {
        for (size_t run = nextRun++; run + 1 < runStarts.size() && firstFailure.load() == strips.size();
             run = nextRun++) {
            for (size_t i = runStarts[run]; i < runStarts[run + 1]; ++i) {
                if (copier.Copy(strips[i])) continue;
                size_t known = firstFailure.load();
                while (i < known && !firstFailure.compare_exchange_weak(known, i)) {
                }
                return;
            }
        }
    };
    std::vector<std::thread> helpers;
    for (size_t helper = 1; helper < threads; ++helper) {
        try {
            helpers.emplace_back(readRuns, std::ref(copiers[helper]));
        } catch (const std::system_error&) {
            break;  // no more threads to be had: the others read it all
        }
    }
    readRuns(copiers[0]);
    for (std::thread& helper : helpers) helper.join();
    if (firstFailure.load() == strips.size()) return RawStripsRead::done;
    *error = "cannot read strip " + std::to_string(strips[firstFailure.load()].index);
    return RawStripsRead::failed;
}

}  // namespace imagefiles
