#include "imagefiles/ImageLimits.h"

#include <new>

#include "imagefiles/ImageFileError.h"
#include "imagefiles/PixelLimit.h"
#include "standin/host/PixelMemory.h"
#include "standin/host/ScratchSettings.h"

using standin::ByteSizeText;
using standin::CurrentPixelMemoryUse;
using standin::CurrentScratchSettings;
using standin::FreeScratchSpace;
using standin::Image;
using standin::ScratchSettings;
using standin::ScratchSpaceError;
using standin::kMemoryBudgetVariable;
using standin::kScratchFolderVariable;

namespace imagefiles {
namespace {

// Refuses an image whose copies during a run would not fit the memory
// budget left and the free scratch space together.
void CheckSpaceFor(const std::string& path, const std::string& size, uint64_t imageBytes) {
    const ScratchSettings settings = CurrentScratchSettings();
    const std::optional<uint64_t> freeScratch = FreeScratchSpace(settings.folder);
    if (!freeScratch) {
        throw ImageFileError(ImageFileProblem::tooLarge, path,
                             "the scratch folder " + settings.folder + " cannot be used (" + kScratchFolderVariable +
                                 " sets another)");
    }
    const uint64_t used = CurrentPixelMemoryUse().inMemory;
    const uint64_t freeMemory = settings.memoryBudget > used ? settings.memoryBudget - used : 0;
    const uint64_t needed = imageBytes * kCopiesInFlight;
    if (needed <= freeMemory + *freeScratch) return;
    throw ImageFileError(ImageFileProblem::tooLarge, path,
                         "the image (" + size + ") needs " + ByteSizeText(needed) +
                             " of memory and scratch space, and " + ByteSizeText(freeMemory + *freeScratch) +
                             " is free: " + ByteSizeText(freeMemory) + " of the memory budget (" +
                             kMemoryBudgetVariable + ") and " + ByteSizeText(*freeScratch) + " in " +
                             settings.folder + " (" + kScratchFolderVariable + ")");
}

}  // namespace

void CheckImageSize(const std::string& path, uint64_t width, uint64_t height, int channels, int bitsPerSample,
                    const ReadOptions& options) {
    if (width == 0 || height == 0) {
        throw ImageFileError(ImageFileProblem::corruptData, path, "the header gives the image no pixels");
    }
    const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
    // Each side fits 32 bits, so the product cannot overflow.
    if (width > UINT32_MAX || height > UINT32_MAX || width * height > options.maxPixels) {
        throw ImageFileError(ImageFileProblem::tooLarge, path,
                             "the image is too large (" + size + ", the limit is " +
                                 std::to_string(options.maxPixels) + " pixels; " + kMaxPixelsVariable +
                                 " sets another)");
    }
    if (Image::CheckGeometry(static_cast<int64_t>(width), static_cast<int64_t>(height), channels, bitsPerSample) !=
        0) {
        throw ImageFileError(ImageFileProblem::tooLarge, path, "the image is too large for the host (" + size + ")");
    }
    CheckSpaceFor(path, size, width * height * static_cast<uint64_t>(channels) * static_cast<uint64_t>(bitsPerSample / 8));
}

Image AllocateImage(const std::string& path, uint32_t width, uint32_t height, int channels, int bitsPerSample,
                    double resolution) {
    try {
        return Image(static_cast<int32_t>(width), static_cast<int32_t>(height), channels, bitsPerSample, resolution);
    } catch (const ScratchSpaceError& error) {
        throw ImageFileError(ImageFileProblem::tooLarge, path, error.what());
    } catch (const std::bad_alloc&) {
        throw ImageFileError(ImageFileProblem::tooLarge, path, "not enough memory for the image");
    }
}

}  // namespace imagefiles
