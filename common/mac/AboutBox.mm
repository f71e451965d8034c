#include "common/mac/AboutBox.h"

#include <cstring>

#include "common/MyString.h"
#include "common/mac/Alerts.h"
#include "common/mac/CocoaScopes.h"
#include "common/mac/CocoaText.h"
#include "entry/PluginIdentity.h"
#include "common/mac/PluginSetupFolder.h"
#include "host/SuiteHolders.h"

namespace {

constexpr std::size_t kAboutBufferSize = 1024;

// Opens "http://" + webHost through the host. An address that does not fit
// the buffer is not opened: a cut-off address would lead somewhere else.
void OpenWebPage(const char* webHost) {
    char url[kAboutBufferSize];
    if (!MyString::msprintf_s(url, sizeof url, "http://%s", webHost != nullptr ? webHost : "")) return;
    sPSFileList->BrowseUrl(url);
}

}  // namespace

void gShowAbout(const char* name, const char* version, const char* architecture, const char* description,
                const char* copyright, const char* email, const char* webHost) {
    // Cleared first so that the path line is empty, never stale memory, when
    // the bundle is not found or its path does not fit.
    char bundlePath[kAboutBufferSize];
    std::memset(bundlePath, 0, sizeof bundlePath);
    getPluginSetupFoder(bundlePath, static_cast<int>(sizeof bundlePath));

    // The holders release every object on the way out, also when the suite
    // holder throws because the GetFileList suite cannot be had.
    AutoreleasePoolScope pool;
    OwnedObject<NSString> nameText(NewTextFromUTF8(name));
    OwnedObject<NSString> versionText(NewTextFromUTF8(version));
    OwnedObject<NSString> architectureText(NewTextFromUTF8(architecture));
    OwnedObject<NSString> descriptionText(NewTextFromUTF8(description));
    OwnedObject<NSString> copyrightText(NewTextFromUTF8(copyright));
    OwnedObject<NSString> emailText(NewTextFromUTF8(email));
    OwnedObject<NSString> webHostText(NewTextFromUTF8(webHost));
    OwnedObject<NSString> pathText(NewTextFromUTF8(bundlePath));

    PrepareAppKitForAlerts();
    OwnedObject<NSAlert> alert([[NSAlert alloc] init]);
    [alert.get() addButtonWithTitle:@"OK"];
    [alert.get() addButtonWithTitle:webHostText.get()];
    OwnedObject<NSString> headline([[NSString alloc] initWithFormat:@"%@ %@\n%@\n", nameText.get(),
                                                                    versionText.get(), architectureText.get()]);
    OwnedObject<NSString> body([[NSString alloc] initWithFormat:@"%@\n\nWere: %@\n\n%@\n%@\n ",
                                                                descriptionText.get(), pathText.get(),
                                                                copyrightText.get(), emailText.get()]);
    [alert.get() setMessageText:headline.get()];
    [alert.get() setInformativeText:body.get()];
    [alert.get() setAlertStyle:static_cast<NSAlertStyle>(AlertStyle::Warning)];
    if ([alert.get() runModal] == kSecondButtonResult) OpenWebPage(webHost);
}

void DoMyAbout(SPPlugin* plugin) {
    (void)plugin;
    gShowAbout(identity::kProductName, identity::kVersion, identity::kArchitectureTag, identity::kDescription,
               identity::kCopyright, identity::kContactEmail, identity::kWebHost);
}
