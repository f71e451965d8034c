// Scratch settings for the length of a test, the previous ones restored
// after.
#pragma once

#include <cstdint>
#include <string>

#include "standin/host/ScratchSettings.h"

namespace test_support {

class ScopedScratch {
public:
    ScopedScratch(uint64_t memoryBudget, std::string folder) : saved_(standin::CurrentScratchSettings()) {
        standin::SetScratchSettings(standin::ScratchSettings{memoryBudget, std::move(folder)});
    }
    ~ScopedScratch() { standin::SetScratchSettings(saved_); }
    ScopedScratch(const ScopedScratch&) = delete;
    ScopedScratch& operator=(const ScopedScratch&) = delete;

private:
    standin::ScratchSettings saved_;
};

}  // namespace test_support
