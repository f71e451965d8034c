// One line through the filter's three steps along a row, in floats: the
// reference the image tests compare with.
#pragma once

#include <vector>

#include "standin/moirefilter/AxisPlan.h"
#include "standin/moirefilter/HorizontalPass.h"

namespace moirenix_test {

inline std::vector<float> FilterLine(const moirenix::AxisPlan& plan, const std::vector<float>& line) {
    const moirenix::HorizontalPass pass(plan);
    std::vector<float> scratch(pass.ScratchSize() + 1);
    std::vector<float> decimated(static_cast<size_t>(pass.DecimatedWidth()));
    std::vector<float> filtered(static_cast<size_t>(pass.FilteredWidth()));
    std::vector<float> out(line.size());
    pass.Decimate(line.data(), decimated.data(), scratch.data());
    pass.FilterLowRate(decimated.data(), filtered.data());
    pass.Interpolate(filtered.data(), out.data(), scratch.data());
    return out;
}

}  // namespace moirenix_test
