#include "DialogFixture.h"

#include "support/gui/Application.h"

void DialogFixture::SetUp() {
    gui_test::PrepareApplication();
    pool = [[NSAutoreleasePool alloc] init];
    run.GetFactorNames();
    dialog = std::make_unique<DecimoraDialog>(&run);
}

void DialogFixture::TearDown() {
    dialog.reset();
    [pool release];
}

bool DialogFixture::LoadWindow() { return initializeCocoaDecimoraDialogController(); }

// The outlets have no accessors; key-value coding reads the instance variables.
NSWindow* DialogFixture::Window() { return [Controller() valueForKey:@"decimoraWindow"]; }

NSPopUpButton* DialogFixture::Popup() { return [Controller() valueForKey:@"popUpButtonFactor"]; }

NSButton* DialogFixture::OkButton() { return [Controller() valueForKey:@"buttonOK"]; }

NSButton* DialogFixture::CancelButton() { return [Controller() valueForKey:@"buttonCancel"]; }

std::vector<std::string> DialogFixture::PopupTitles() {
    std::vector<std::string> titles;
    NSArray* itemTitles = [Popup() itemTitles];
    for (NSUInteger index = 0; index < [itemTitles count]; ++index) {
        titles.push_back(Utf8([itemTitles objectAtIndex:index]));
    }
    return titles;
}

std::string Utf8(NSString* text) {
    const char* bytes = [text UTF8String];
    return bytes != nullptr ? std::string(bytes) : std::string();
}
