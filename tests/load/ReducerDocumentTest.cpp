// A long run must not pile up documents in the host, which keeps every
// document it opens: the reducer reduces each file in the same document and
// leaves it holding one pixel, without history, between files.
#include <gtest/gtest.h>

#include <string>

#include "cli/ProgramRun.h"
#include "host/FourCharCodes.h"
#include "load/LoadImages.h"
#include "cli/Reducer.h"
#include "standin/host/Host.h"
#include "imagefiles/ImageFile.h"

namespace {

TEST(ReducerDocument, EveryFileIsReducedInOneDocumentEmptiedAfterEach) {
    test_support::TemporaryFolder folder;
    cli::ReduceSettings settings;
    settings.pluginFolder = standin::Host::DefaultPluginFolder();
    settings.parameters.emplace();
    settings.parameters->descriptor = standin::Descriptor().PutInteger(fourcc::kFactorKey, 2);
    cli::Reducer reducer(settings);

    const standin::Document* first = nullptr;
    for (const loadtest::InputImage& input : loadtest::PlanInputs(4)) {
        SCOPED_TRACE(input.name);
        loadtest::WriteInput(folder.Path(), input);
        const cli::FileJob job{folder / input.name, folder / ("reduced-" + input.name)};

        const runner::FileResult result = reducer.Reduce(job, [](double) {});

        ASSERT_EQ(result.outcome, runner::Outcome::reduced) << result.message;
        const standin::Document* document = standin::Host::Current()->TargetDocument();
        ASSERT_NE(document, nullptr);
        if (first == nullptr) first = document;
        EXPECT_EQ(document, first);
        EXPECT_EQ(document->image.Width() * document->image.Height(), 1);
        EXPECT_TRUE(document->history.empty());
        const standin::Image reduced = imagefiles::ReadImageFile(job.output).image;
        EXPECT_EQ(reduced.Width(), input.width / 2);
        EXPECT_EQ(reduced.Height(), input.height / 2);
    }
}

}  // namespace
