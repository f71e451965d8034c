// An open document: its image and the names of its history states, oldest
// first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "standin/host/Image.h"

namespace standin {

struct Document {
    std::string name;
    Image image;
    std::vector<std::string> history;
    // The colour profile (ICC) whose tone curves say how the samples encode
    // light; the host hands it to filters with the pixels. Empty: the
    // samples are plain numbers, and filters work on them as they are.
    std::vector<uint8_t> colorProfile;
};

}  // namespace standin
