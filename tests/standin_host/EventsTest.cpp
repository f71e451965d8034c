#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "HostSuites.h"
#include "host/HostResults.h"
#include "support/ScopedScratch.h"

namespace {

using standin::Descriptor;

Descriptor CanvasSize(double width, double height) {
    Descriptor arguments;
    arguments.PutUnitFloat(fourcc::kWidth, fourcc::kUnitPixels, width);
    arguments.PutUnitFloat(fourcc::kHeight, fourcc::kUnitPixels, height);
    return arguments;
}

Descriptor NearestImageSize(double width, double height) {
    Descriptor arguments = CanvasSize(width, height);
    arguments.PutEnumerated(fourcc::kInterpolation, fourcc::kInterpolationType, fourcc::kNearestNeighbor);
    return arguments;
}

Descriptor ResolutionOnly(double resolution) {
    return Descriptor().PutUnitFloat(fourcc::kResolution, fourcc::kUnitDensity, resolution);
}

class StandinHostEvents : public ::testing::Test {
protected:
    StandinHostEvents() {
        standin::Image& image = host.AddDocument(30, 20, 3, 8, 300.0).image;
        for (int32_t y = 0; y < 20; ++y) {
            for (int32_t x = 0; x < 30; ++x) image.SetSample(x, y, 1, static_cast<uint32_t>(x + 8 * y));
        }
    }
    standin::Image& Image() { return host.TargetDocument()->image; }

    standin::Host host;
};

TEST_F(StandinHostEvents, GetReportsResolutionAndSizesInPoints) {
    host.AddDocument(3000, 2000, 1, 8, 300.0);
    standin_test::HostSuites suites(host);
    ActionReferenceHandle target = suites.TargetReference();
    ActionDescriptorHandle properties = nullptr;
    ASSERT_EQ(suites.control->Get(&properties, target), 0);
    ASSERT_NE(properties, nullptr);
    uint32_t unit = fourcc::kUnitPixels;
    double value = 0;
    EXPECT_EQ(suites.descriptor->GetUnitFloat(properties, fourcc::kResolution, &unit, &value), 0);
    EXPECT_EQ(value, 300.0);
    EXPECT_EQ(suites.descriptor->GetUnitFloat(properties, fourcc::kWidth, &unit, &value), 0);
    EXPECT_EQ(value, 720.0);
    EXPECT_EQ(unit, fourcc::kUnitRelative);
    EXPECT_EQ(suites.descriptor->GetUnitFloat(properties, fourcc::kHeight, &unit, &value), 0);
    EXPECT_EQ(value, 480.0);
    EXPECT_EQ(host.LeakedHandles(), 2) << "the result belongs to the caller";
    suites.descriptor->Free(properties);
    suites.reference->Free(target);
    EXPECT_EQ(host.LeakedHandles(), 0);
}

TEST_F(StandinHostEvents, GetRefusesWithoutATargetOrForOtherReferences) {
    standin_test::HostSuites suites(host);
    ActionReferenceHandle empty = nullptr;
    suites.reference->Make(&empty);
    ActionDescriptorHandle properties = nullptr;
    EXPECT_EQ(suites.control->Get(&properties, empty), host::kBadParameter);
    EXPECT_EQ(properties, nullptr);
    ActionReferenceHandle target = suites.TargetReference();
    host.SetTargetDocument(nullptr);
    EXPECT_EQ(suites.control->Get(&properties, target), host::kNoTargetDocument);
    EXPECT_EQ(properties, nullptr);
    suites.reference->Free(empty);
    suites.reference->Free(target);
}

TEST_F(StandinHostEvents, CanvasSizeAnchoredLeftTopCropsRightAndBottom) {
    const standin::Image before = Image();
    Descriptor arguments = CanvasSize(28, 18);
    arguments.PutEnumerated(fourcc::kHorizontal, fourcc::kHorizontalLocation, fourcc::kLeft);
    arguments.PutEnumerated(fourcc::kVertical, fourcc::kVerticalLocation, fourcc::kTop);
    ASSERT_EQ(host.Play(fourcc::kCanvasSizeEvent, arguments), 0);
    ASSERT_EQ(Image().Width(), 28);
    ASSERT_EQ(Image().Height(), 18);
    EXPECT_EQ(Image().Sample(27, 17, 1), before.Sample(27, 17, 1));
    EXPECT_EQ(host.TargetDocument()->history, std::vector<std::string>{"Canvas Size"});
}

TEST_F(StandinHostEvents, ImageSizeWithResolutionAloneKeepsThePixels) {
    const standin::Image before = Image();
    ASSERT_EQ(host.Play(fourcc::kImageSizeEvent, ResolutionOnly(14400)), 0);
    EXPECT_EQ(Image().Resolution(), 14400.0);
    standin::Image restored = Image();
    restored.SetResolution(300.0);
    EXPECT_EQ(restored, before);
}

TEST_F(StandinHostEvents, ImageSizeResamplesNearestAndKeepsTheResolution) {
    const standin::Image before = Image();
    ASSERT_EQ(host.Play(fourcc::kImageSizeEvent, NearestImageSize(15, 10)), 0);
    ASSERT_EQ(Image().Width(), 15);
    EXPECT_EQ(Image().Resolution(), 300.0);
    EXPECT_EQ(Image().Sample(7, 4, 1), before.Sample(15, 9, 1));
}

struct Refusal {
    const char* what;
    uint32_t event;
    Descriptor arguments;
    int32_t code;
};

Descriptor With(Descriptor arguments, uint32_t key, uint32_t type, uint32_t value) {
    arguments.PutEnumerated(key, type, value);
    return arguments;
}

TEST_F(StandinHostEvents, RefusedEventsLeaveTheDocumentUntouched) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Refusal> refusals = {
        {"no height", fourcc::kCanvasSizeEvent,
         Descriptor().PutUnitFloat(fourcc::kWidth, fourcc::kUnitPixels, 10), host::kMissingParameter},
        {"empty", fourcc::kCanvasSizeEvent, Descriptor(), host::kMissingParameter},
        {"zero width", fourcc::kCanvasSizeEvent, CanvasSize(0, 10), host::kBadParameter},
        {"negative height", fourcc::kCanvasSizeEvent, CanvasSize(10, -4), host::kBadParameter},
        {"NaN width", fourcc::kCanvasSizeEvent, CanvasSize(nan, 10), host::kBadParameter},
        {"infinite height", fourcc::kCanvasSizeEvent, CanvasSize(10, inf), host::kBadParameter},
        {"beyond the side limit", fourcc::kCanvasSizeEvent, CanvasSize(300001, 10), host::kBadParameter},
        {"beyond the scratch space", fourcc::kCanvasSizeEvent, CanvasSize(300000, 300000),
         host::kNotEnoughMemory},
        {"width as a plain float", fourcc::kCanvasSizeEvent,
         Descriptor().PutFloat(fourcc::kWidth, 10).PutUnitFloat(fourcc::kHeight, fourcc::kUnitPixels, 10),
         host::kWrongType},
        {"width in another unit", fourcc::kCanvasSizeEvent,
         Descriptor()
             .PutUnitFloat(fourcc::kWidth, fourcc::kUnitDensity, 10)
             .PutUnitFloat(fourcc::kHeight, fourcc::kUnitPixels, 10),
         host::kBadParameter},
        {"anchor of another enumeration", fourcc::kCanvasSizeEvent,
         With(CanvasSize(10, 10), fourcc::kHorizontal, fourcc::kVerticalLocation, fourcc::kTop), host::kWrongType},
        {"unknown anchor", fourcc::kCanvasSizeEvent,
         With(CanvasSize(10, 10), fourcc::kVertical, fourcc::kVerticalLocation, fourcc::kLeft), host::kBadParameter},
        {"nothing to do", fourcc::kImageSizeEvent, Descriptor(), host::kMissingParameter},
        {"zero resolution", fourcc::kImageSizeEvent, ResolutionOnly(0), host::kBadParameter},
        {"negative resolution", fourcc::kImageSizeEvent, ResolutionOnly(-72), host::kBadParameter},
        {"NaN resolution", fourcc::kImageSizeEvent, ResolutionOnly(nan), host::kBadParameter},
        {"resolution in pixels", fourcc::kImageSizeEvent,
         Descriptor().PutUnitFloat(fourcc::kResolution, fourcc::kUnitPixels, 72), host::kBadParameter},
        {"resample without interpolation", fourcc::kImageSizeEvent, CanvasSize(5, 5), host::kMissingParameter},
        {"resample with width only", fourcc::kImageSizeEvent,
         With(Descriptor().PutUnitFloat(fourcc::kWidth, fourcc::kUnitPixels, 5), fourcc::kInterpolation,
              fourcc::kInterpolationType, fourcc::kNearestNeighbor),
         host::kMissingParameter},
        {"other interpolation", fourcc::kImageSizeEvent,
         With(CanvasSize(5, 5), fourcc::kInterpolation, fourcc::kInterpolationType, fourcc::Make("Bcbc")),
         host::kBadParameter},
        {"resample to zero", fourcc::kImageSizeEvent, NearestImageSize(0, 5), host::kBadParameter},
        {"valid size but bad resolution", fourcc::kImageSizeEvent,
         NearestImageSize(5, 5).PutUnitFloat(fourcc::kResolution, fourcc::kUnitDensity, 0), host::kBadParameter},
        {"unknown event", fourcc::Make("Xyzw"), CanvasSize(5, 5), host::kEventNotHandled},
    };
    // No scratch folder: a canvas beyond the memory budget cannot be had.
    const test_support::ScopedScratch noScratch(1 << 20, "/nonexistent-scratch-folder");
    const standin::Image before = Image();
    for (const Refusal& refusal : refusals) {
        EXPECT_EQ(host.Play(refusal.event, refusal.arguments), refusal.code) << refusal.what;
        ASSERT_EQ(Image(), before) << refusal.what;
    }
    EXPECT_TRUE(host.TargetDocument()->history.empty());
    EXPECT_EQ(host.PlayedEvents().size(), refusals.size());
}

TEST_F(StandinHostEvents, PlayRefusesUnknownDialogOptionsAndMissingDocuments) {
    EXPECT_EQ(host.Play(fourcc::kCanvasSizeEvent, CanvasSize(5, 5), 0), host::kBadParameter);
    host.SetTargetDocument(nullptr);
    EXPECT_EQ(host.Play(fourcc::kCanvasSizeEvent, CanvasSize(5, 5)), host::kNoTargetDocument);
}

TEST_F(StandinHostEvents, PlayThroughTheSuiteHandsBackAResultTheCallerOwns) {
    standin_test::HostSuites suites(host);
    ActionDescriptorHandle arguments = nullptr;
    suites.descriptor->Make(&arguments);
    suites.descriptor->PutUnitFloat(arguments, fourcc::kResolution, fourcc::kUnitDensity, 150.0);
    ActionDescriptorHandle result = nullptr;
    EXPECT_EQ(suites.control->Play(&result, fourcc::kImageSizeEvent, arguments, host::kDisplayNoDialogs), 0);
    EXPECT_NE(result, nullptr);
    EXPECT_EQ(Image().Resolution(), 150.0);
    EXPECT_EQ(host.LeakedHandles(), 2);
    suites.descriptor->Free(result);

    host.FailOperation("Play:ImgS", -25);
    EXPECT_EQ(suites.control->Play(&result, fourcc::kImageSizeEvent, arguments, host::kDisplayNoDialogs), -25);
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(host.PlayedEvents().size(), 1u) << "a failed call plays nothing";
    suites.descriptor->Free(arguments);
    EXPECT_EQ(host.LeakedHandles(), 0);
}

TEST_F(StandinHostEvents, StringIdsMapToTheirEventsAndUnknownOnesAreRefused) {
    standin_test::HostSuites suites(host);
    DescriptorTypeID id = 0;
    EXPECT_EQ(suites.control->StringIDToTypeID("canvasSize", &id), 0);
    EXPECT_EQ(id, fourcc::kCanvasSizeEvent);
    id = 99;
    EXPECT_EQ(suites.control->StringIDToTypeID("Korvan Moirenix", &id), host::kEventNotHandled);
    EXPECT_EQ(id, 99u);
}

}  // namespace
