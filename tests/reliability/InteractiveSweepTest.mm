// Every host operation of an interactive "Do It" run fails once, in turn,
// while a driver chooses a factor in the plug-in's dialog and presses OK: the
// run must survive each, leave the host whole, and leave the document either
// reduced or exactly as it was. The dialog must then work again.
#import <AppKit/AppKit.h>
#include <gtest/gtest.h>

#include <iostream>

#include "e2e/PluginRun.h"
#include "reliability/FaultSweep.h"
#include "support/gui/Application.h"
#include "support/gui/ModalDriver.h"

namespace {

using gui_test::ModalDriver;
using reliability::CleanRun;
using reliability::kInjectedCode;

const char* const kChosenFactor = "3";

// Chooses the factor in the dialog and presses OK, as a user would.
void ChooseAndConfirm(ModalDriver& driver) {
    driver
        .Do("choose the factor",
            [](NSWindow* window) {
                NSPopUpButton* popup = gui_test::FindPopUpButton(window);
                if (popup == nil) return false;
                NSInteger index = [popup indexOfItemWithTitle:[NSString stringWithUTF8String:kChosenFactor]];
                if (index < 0) return false;
                [popup selectItemAtIndex:index];
                return true;
            })
        .PressButton("OK");
}

standin::Document& OpenPaintedDocument(standin::Host& host, const std::string& name = "Untitled") {
    standin::Document& document = host.AddDocument(301, 201, 3, 8, 300.0, name);
    reliability::Paint(document.image);
    return document;
}

CleanRun MeasureCleanRun() {
    gui_test::PrepareApplication();
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    CleanRun clean;
    try {
        standin::Host host;
        host.KeepModulesMapped(true);
        host.LogOperations(true);
        standin::Plugin& plugin = host.LoadPlugin(e2e::PluginFolder() + "/Decimora.plugin");
        host.LoadPlugin(e2e::PluginFolder() + "/KorvanMoirenix.plugin");
        OpenPaintedDocument(host);
        ModalDriver driver;
        ChooseAndConfirm(driver);
        const standin::RunResult run = host.DoIt(plugin);
        clean.operations = host.OperationCount();
        clean.operationNames = host.OperationLog();
        clean.result = host.TargetDocument()->image;
        if (!driver.Finished()) clean.problems.push_back("the dialog was not worked: " + driver.Failures().front());
        if (run.result != 0 || host.LastHistoryResult() != 0) clean.problems.push_back("the clean run failed");
        if (clean.result->Width() != 100 || clean.result->Height() != 67)
            clean.problems.push_back("the clean run did not reduce by 3");
        for (const std::string& error : host.Errors()) clean.problems.push_back(error);
        if (host.LeakedHandles() != 0) clean.problems.push_back("the clean run leaked handles");
        reliability::ReleasePluginSuites();
    } catch (const std::exception& failure) {
        clean = CleanRun{};
        clean.problems.push_back(failure.what());
    }
    [pool release];
    return clean;
}

// Measured once, when the sweep's parameters are made.
const CleanRun& Clean() {
    static const CleanRun clean = MeasureCleanRun();
    return clean;
}

TEST(InteractiveRunWithoutFaults, IsTheSweepsReference) {
    EXPECT_TRUE(Clean().problems.empty()) << Clean().problems.front();
    EXPECT_GT(Clean().operations, 20);
}

class InteractiveSweep : public e2e::PluginRun, public ::testing::WithParamInterface<int64_t> {
protected:
    void SetUp() override {
        gui_test::PrepareApplication();
        pool = [[NSAutoreleasePool alloc] init];
        PluginRun::SetUp();
        LoadFilter();
        before = OpenPaintedDocument(host).image;
    }
    void TearDown() override {
        PluginRun::TearDown();
        [pool release];
    }

    static void TearDownTestSuite() {
        std::cout << "[ SUMMARY  ] interactive run: " << tally.Summary() << std::endl;
    }

    NSAutoreleasePool* pool = nil;
    std::optional<standin::Image> before;
    static reliability::SweepTally tally;
};

reliability::SweepTally InteractiveSweep::tally;

TEST_P(InteractiveSweep, FailingOneOperationLeavesTheHostWholeAndTheDocumentReducedOrUntouched) {
    ASSERT_TRUE(Clean().result.has_value());
    const int64_t n = GetParam();
    host.LogOperations(true);
    host.FailNthOperation(n, kInjectedCode);

    {
        // Gone before the next run, so that steps it never got to take
        // (the dialog did not open) cannot act on the next run's dialog.
        ModalDriver driver;
        ChooseAndConfirm(driver);
        const standin::RunResult run = host.DoIt(*plugin);

        const reliability::FaultedRun faulted = reliability::Inspect(host, n, run.result, *before, *Clean().result);
        tally.Add(faulted);
        EXPECT_TRUE(reliability::Problems(faulted).empty()) << reliability::Describe(faulted);
        // A fault before the dialog ends the run without it; a reduced
        // document means the dialog was shown and confirmed.
        if (faulted.outcome == reliability::Outcome::complete) {
            EXPECT_TRUE(driver.Finished()) << driver.Failures().front();
        }
    }

    // Nothing of the failure lingers: the dialog opens again and the next
    // run, without faults, is clean.
    host.ClearFaults();
    OpenPaintedDocument(host, "next");
    ModalDriver nextDriver;
    ChooseAndConfirm(nextDriver);
    EXPECT_EQ(host.DoIt(*plugin).result, 0);
    EXPECT_TRUE(nextDriver.Finished()) << nextDriver.Failures().front();
    EXPECT_TRUE(Image() == *Clean().result) << "the run after operation " << n << " failed";
    ExpectCleanRun();
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, InteractiveSweep, ::testing::Range<int64_t>(1, Clean().operations + 1),
                         [](const ::testing::TestParamInfo<int64_t>& operation) {
                             return reliability::OperationTestName(Clean(), operation.param);
                         });

}  // namespace
