// The host runs the moiré filter played inside a history block only when its
// result is needed, and a nearest-neighbour shrink then takes just the pixels
// it keeps. Whatever follows the filter must see what it would have seen had
// the filter run at once, and a filter that fails late must still leave the
// document as it was.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "PluginRun.h"
#include "host/FourCharCodes.h"
#include "standin/host/FilterPlugin.h"

namespace {

using Event = std::function<int32_t(standin::Host&)>;

class DeferredFilter : public e2e::PluginRun {
protected:
    void SetUp() override {
        PluginRun::SetUp();
        LoadFilter();
    }

    // A 16-bit RGBA document of noise.
    void AddNoiseDocument() {
        host.AddDocument(203, 151, 4, 16, 300.0);
        uint32_t state = 99;
        for (int32_t y = 0; y < Image().Height(); ++y)
            for (int32_t x = 0; x < Image().Width(); ++x)
                for (int32_t c = 0; c < 4; ++c) {
                    state = state * 1664525u + 1013904223u;
                    Image().SetSample(x, y, c, state >> 16);
                }
    }

    // The events played one after another, inside a history block when asked.
    int32_t PlayAll(const std::vector<Event>& events, bool inHistoryBlock) {
        struct Block {
            standin::Host* host;
            const std::vector<Event>* events;
        } block{&host, &events};
        const auto playAll = [](void* data) -> int32_t {
            const auto* b = static_cast<Block*>(data);
            for (const Event& event : *b->events) {
                if (int32_t code = event(*b->host)) return code;
            }
            return 0;
        };
        if (!inHistoryBlock) return playAll(&block);
        const standin::Reference target{{fourcc::kDocument, fourcc::kOrdinal, fourcc::kTarget}};
        EXPECT_EQ(host.SuspendHistory(target, playAll, &block, "Block"), 0);
        return host.LastHistoryResult();
    }

    // The same events, played at once and in a history block, end in the same image.
    void ExpectSameAsAtOnce(const std::vector<Event>& events) {
        AddNoiseDocument();
        ASSERT_EQ(PlayAll(events, false), 0);
        const standin::Image atOnce = Image();
        AddNoiseDocument();
        ASSERT_EQ(PlayAll(events, true), 0);
        EXPECT_EQ(Image(), atOnce);
    }
};

int32_t Filter(standin::Host& host) {
    standin::Descriptor arguments;
    arguments.PutFloat(fourcc::kFilterValue, 300.0 / 6.0).PutFloat(fourcc::kFilterMode, -2.0);
    return host.Play(*host.EventForString("Korvan Moirenix"), arguments, 2, nullptr);
}

Event Shrink(int32_t width, int32_t height) {
    return [=](standin::Host& host) {
        standin::Descriptor arguments;
        arguments.PutUnitFloat(fourcc::kWidth, fourcc::kUnitPixels, width)
            .PutUnitFloat(fourcc::kHeight, fourcc::kUnitPixels, height)
            .PutEnumerated(fourcc::kInterpolation, fourcc::kInterpolationType, fourcc::kNearestNeighbor);
        return host.Play(fourcc::kImageSizeEvent, arguments, 2, nullptr);
    };
}

Event SetResolution(double resolution) {
    return [=](standin::Host& host) {
        standin::Descriptor arguments;
        arguments.PutUnitFloat(fourcc::kResolution, fourcc::kUnitDensity, resolution);
        return host.Play(fourcc::kImageSizeEvent, arguments, 2, nullptr);
    };
}

Event Crop(int32_t width, int32_t height) {
    return [=](standin::Host& host) {
        standin::Descriptor arguments;
        arguments.PutUnitFloat(fourcc::kWidth, fourcc::kUnitPixels, width)
            .PutUnitFloat(fourcc::kHeight, fourcc::kUnitPixels, height);
        return host.Play(fourcc::kCanvasSizeEvent, arguments, 2, nullptr);
    };
}

TEST_F(DeferredFilter, EveryLaterEventSeesTheFilteredPixels) {
    ExpectSameAsAtOnce({Filter, SetResolution(5000.0), Shrink(68, 50), SetResolution(100.0)});
    ExpectSameAsAtOnce({Filter, Crop(180, 150), Shrink(60, 50)});
    ExpectSameAsAtOnce({Filter, Filter, Shrink(101, 75)});
    ExpectSameAsAtOnce({Filter});
    ExpectCleanRun();
}

TEST_F(DeferredFilter, AFilterCancelledAtTheShrinkLeavesTheDocumentAsItWas) {
    AddNoiseDocument();
    const standin::Image before = Image();
    const Event cancelFromNowOn = [](standin::Host& played) {
        played.SetFilterProgress([](double) { return false; });
        return 0;
    };
    EXPECT_EQ(PlayAll({Filter, cancelFromNowOn, Shrink(68, 50)}, true), host::kUserCanceled);
    host.SetFilterProgress(nullptr);
    EXPECT_EQ(Image(), before);
    EXPECT_TRUE(History().empty());
    ExpectCleanRun();
}

}  // namespace
