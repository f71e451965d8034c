#include "imagefiles/PixelLimit.h"

#include <cstdlib>

#include "standin/host/ScratchSettings.h"

using standin::CurrentScratchSettings;
using standin::FreeScratchSpace;
using standin::ScratchSettings;

namespace imagefiles {

std::optional<uint64_t> ParsePixelCount(const std::string& text) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    if (value == 0) return std::nullopt;
    return value;
}

uint64_t SpaceBasedMaxPixels() {
    const ScratchSettings settings = CurrentScratchSettings();
    const uint64_t space = settings.memoryBudget + FreeScratchSpace(settings.folder).value_or(0);
    const uint64_t pixels = space / kCopiesInFlight;
    return pixels > 0 ? pixels : 1;
}

uint64_t DefaultMaxPixels() {
    const char* configured = std::getenv(kMaxPixelsVariable);
    if (configured != nullptr) {
        if (const std::optional<uint64_t> pixels = ParsePixelCount(configured)) return *pixels;
    }
    return SpaceBasedMaxPixels();
}

}  // namespace imagefiles
