// A factor dialog whose window comes from the real nib: the run (with the
// factor list "2".."16"), the dialog logic on it, and access to the window
// and controls of the controller held in gDecimoraDialogController.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#import "dialog/mac/DecimoraDialogController.h"
#include "dialog/DecimoraDialog.h"
#include "engine/DecimoraData.h"

class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads a fresh window for the dialog, as the dialog's DoModal does first.
    bool LoadWindow();

    static DecimoraDialogController* Controller() { return gDecimoraDialogController; }
    static NSWindow* Window();
    static NSPopUpButton* Popup();
    static NSButton* OkButton();
    static NSButton* CancelButton();
    static std::vector<std::string> PopupTitles();

    DecimoraData run;
    std::unique_ptr<DecimoraDialog> dialog;

private:
    NSAutoreleasePool* pool = nil;
};

// UTF-8 text of a string object; empty for nil.
std::string Utf8(NSString* text);
