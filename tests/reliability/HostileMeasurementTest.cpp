// Measurements no sane host reports, which the stand-in host cannot even
// hold: resolutions of 0, below 0 or not a number, sizes beyond the integer
// range or negative. The engine must compute every value it plays without
// undefined behaviour (the sanitizer build checks), free what it made, and
// hand the host defined numbers: pixel counts rounded half up and truncated
// toward zero, saturated at the integer range, 0 for what is not a number.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <ostream>

#include "FakeHost.h"
#include "engine/DecimoraData.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();

struct HostileMeasurement {
    const char* name;
    double widthPoints;
    double heightPoints;
    double resolution;
    int32_t factor;
    // What the crop, the resize and the final resolution receive.
    double cropWidth;
    double cropHeight;
    double resizeWidth;
    double resizeHeight;
    double finalResolution;
};

void PrintTo(const HostileMeasurement& measurement, std::ostream* out) { *out << measurement.name; }

const HostileMeasurement kMeasurements[] = {
    {"ZeroResolution", 720, 480, 0, 2, 0, 0, 0, 0, 0},
    {"NegativeResolution", 720, 480, -300, 2, -2998, -1998, -1499, -999, -150},
    {"ResolutionNotANumber", 720, 480, kNaN, 2, 0, 0, 0, 0, 0},
    {"InfiniteResolution", 720, 480, kInfinity, 3, INT32_MAX - 1, INT32_MAX - 1, 715827882, 715827882, INT32_MAX},
    {"SizesBeyondTheIntegerRange", 1e300, -1e300, 72, 3, INT32_MAX - 1, INT32_MIN + 2, 715827882, -715827882, 24},
    {"NegativeSizes", -100, -7, 72, 4, -96, -4, -24, -1, 18},
    {"LargestUsableFactor", 720, 480, 300, INT32_MAX / 2, 0, 0, 0, 0, 0},
};

class EngineMeasurement : public ::testing::TestWithParam<HostileMeasurement> {
protected:
    fake::FakeHost host;
    DecimoraData run;
};

TEST_P(EngineMeasurement, PlaysDefinedValuesAndFreesWhatItMade) {
    const HostileMeasurement& measurement = GetParam();
    host.SetDocumentPoints(measurement.widthPoints, measurement.heightPoints, measurement.resolution);
    run.factor = measurement.factor;

    EXPECT_EQ(run.ExecuteFilter(), 0);

    ASSERT_EQ(host.played.size(), 6u);
    const fake::Entries& crop = host.played[0].arguments;
    const fake::Entries& resize = host.played[4].arguments;
    const fake::Entries& final = host.played[5].arguments;
    EXPECT_EQ(crop.at(0).value.number, measurement.cropWidth);
    EXPECT_EQ(crop.at(1).value.number, measurement.cropHeight);
    EXPECT_EQ(resize.at(0).value.number, measurement.resizeWidth);
    EXPECT_EQ(resize.at(1).value.number, measurement.resizeHeight);
    EXPECT_EQ(final.at(0).value.number, measurement.finalResolution);
    EXPECT_EQ(host.LiveDescriptors(), 0);
    EXPECT_EQ(host.LiveReferences(), 0);
    EXPECT_TRUE(host.misuse.empty());
}

INSTANTIATE_TEST_SUITE_P(Hostile, EngineMeasurement, ::testing::ValuesIn(kMeasurements),
                         [](const ::testing::TestParamInfo<HostileMeasurement>& measurement) {
                             return measurement.param.name;
                         });

}  // namespace
