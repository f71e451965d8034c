// The factors the dialog offers, conversions between their names, indices and
// numbers, and the intermediate resolution at which the moiré filter runs.
#include <climits>
#include <cstdlib>

#include "engine/DecimoraData.h"

namespace {

const char* const kFactorNames[] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16"};
constexpr int kFactorNameCount = sizeof(kFactorNames) / sizeof(kFactorNames[0]);

// Intermediate resolutions for factors 7 to 32, indexed by factor - 7. Each
// divides exactly by 2 x factor, which gives the filter's setting.
constexpr int32_t kFirstTabledFactor = 7;
constexpr int32_t kLastTabledFactor = 32;
constexpr int32_t kDefaultIntermediateResolution = 14400;
constexpr int32_t kIntermediateResolutions[] = {
    17472, 14400, 14400, 14400, 5984,  14400, 17472, 17472, 14400, 14400, 5984,  14400, 13984,
    14400, 17472, 5984,  13984, 14400, 14400, 17472, 12528, 17472, 12528, 14400, 15872, 15872,
};
static_assert(sizeof(kIntermediateResolutions) / sizeof(kIntermediateResolutions[0]) ==
                  kLastTabledFactor - kFirstTabledFactor + 1,
              "one entry per factor from 7 to 32");

// The decimal number a name begins with, after any white space, as "%d"
// reads it; trailing characters are ignored. 0 when there is none; a number
// beyond the int32 range is clamped to it.
int32_t ParseFactorName(const char* name) {
    if (name == nullptr) return 0;
    char* end = nullptr;
    const long long value = std::strtoll(name, &end, 10);
    if (end == name) return 0;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

int32_t DecimoraData::GetFactorNames() {
    for (int i = 0; i < kFactorNameCount; ++i) factorNames[i] = kFactorNames[i];
    count = kFactorNameCount;
    return 0;
}

int32_t DecimoraData::GetDocumentInfo() {
    GetFactorNames();
    error = 0;
    return 0;
}

void DecimoraData::GetFactorName(int index, const char*& name) {
    if (index >= 0 && index < count) name = factorNames[index];
}

int32_t DecimoraData::GetFactorByName(const char*& name) { return ParseFactorName(name); }

int32_t DecimoraData::SetFactorByName(const char*& name) {
    factor = ParseFactorName(name);
    return factor;
}

int32_t DecimoraData::GetFactorIndex() {
    for (int i = 0; i < count; ++i) {
        if (ParseFactorName(factorNames[i]) == factor) return i;
    }
    return 0;
}

int32_t DecimoraData::GetIntermediateResolution(int forFactor) {
    if (forFactor < kFirstTabledFactor || forFactor > kLastTabledFactor) return kDefaultIntermediateResolution;
    return kIntermediateResolutions[forFactor - kFirstTabledFactor];
}

bool DecimoraData::CheckSizeLimit(ImageProperties*, char*) { return false; }

bool DecimoraData::IsUsableFactor(int32_t candidate) { return candidate >= 1 && candidate <= INT32_MAX / 2; }
