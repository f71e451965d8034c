#include "common/mac/MessageBoxes.h"

#include "common/mac/Alerts.h"
#include "common/mac/CocoaScopes.h"
#include "common/mac/CocoaText.h"
#include "common/mac/PluginNames.h"

namespace {

NSInteger ShowTextBox(const char* headline, const char* body, AlertStyle style) {
    AutoreleasePoolScope pool;
    OwnedObject<NSString> headlineText(NewTextFromUTF8(headline));
    OwnedObject<NSString> bodyText(NewTextFromUTF8(body));
    return RunOkAlert(headlineText.get(), bodyText.get(), style);
}

}  // namespace

@implementation MyMessageBoxMac

+ (int)MyMessage:(const char*)text :(const char*)caption {
    return static_cast<int>(ShowTextBox(caption, text, AlertStyle::Informational));
}

+ (void)MyErrorMessage:(const char*)text :(const char*)caption {
    ShowTextBox(caption, text, AlertStyle::Critical);
}

@end

void gShowErrorMessage(const char* text) {
    ShowTextBox(gGetPluginName(), text, AlertStyle::Critical);
}

int gPlatformMessageBox(const char* text, const char* caption) {
    return [MyMessageBoxMac MyMessage:text :caption];
}

void gPlatformErrorMessageBox(const char* text, const char* caption) {
    [MyMessageBoxMac MyErrorMessage:text :caption];
}
