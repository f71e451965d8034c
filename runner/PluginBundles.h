// The bundles a run loads from the plug-in folder, and the smallest factor
// the Decimora plug-in reduces by.
#pragma once

namespace runner {

constexpr const char* kDecimoraBundle = "Decimora.plugin";
constexpr const char* kFilterBundle = "KorvanMoirenix.plugin";

constexpr int kMinFactor = 2;

}  // namespace runner
