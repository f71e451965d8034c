// Truncation of a double toward zero into an int32. Values the host reports
// are not trusted to fit: out-of-range values saturate and NaN gives 0,
// where a plain cast would be undefined.
#pragma once

#include <cmath>
#include <cstdint>

inline int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}
