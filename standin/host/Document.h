// An open document: its image and the names of its history states, oldest
// first.
#pragma once

#include <string>
#include <vector>

#include "standin/host/Image.h"

namespace standin {

struct Document {
    std::string name;
    Image image;
    std::vector<std::string> history;
};

}  // namespace standin
