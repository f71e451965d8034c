// A reduction whose factor dialog the user cancels, on a virtual display:
// the file is reported as cancelled, naming it, and nothing is written.
#import <AppKit/AppKit.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ImageFixtures.h"
#include "ProgramRun.h"
#include "cli/Reducer.h"
#include "support/gui/Application.h"
#include "support/gui/ModalDriver.h"

namespace {

TEST(CancelledDialog, TheFileIsReportedCancelledAndNothingIsWritten) {
    gui_test::PrepareApplication();
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    test_support::TemporaryFolder folder;
    clitest::WriteTestImage(folder / "photo.png", clitest::PatternImage(64, 48, 3, 8, 300.0),
                            imagefiles::ImageFormat::png);
    const char* plugins = std::getenv("DECIMORA_PLUGIN_DIR");
    ASSERT_NE(plugins, nullptr);
    cli::ReduceSettings settings;  // no parameters: the dialog asks for the factor
    settings.pluginFolder = plugins;
    cli::Reducer reducer(settings);

    gui_test::ModalDriver driver;
    driver.PressButton("Cancel");
    const runner::FileResult result = reducer.Reduce({folder / "photo.png", folder / "photo-reduced.png"}, {});

    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(driver.Failures().empty());
    EXPECT_EQ(result.outcome, runner::Outcome::cancelled);
    EXPECT_EQ(result.message, folder / "photo.png" + ": cancelled");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"photo.png"});
    [pool release];
}

}  // namespace
