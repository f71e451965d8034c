#include "common/mac/Alerts.h"

#include "common/mac/CocoaScopes.h"

#ifdef GNUSTEP
#include "standin/appkit/StandinAppKit.h"
#endif

void PrepareAppKitForAlerts() {
    NSApplicationLoad();
}

NSInteger RunOkAlert(NSString* headline, NSString* body, AlertStyle style) {
    PrepareAppKitForAlerts();
    OwnedObject<NSAlert> alert([[NSAlert alloc] init]);
    [alert.get() setMessageText:headline];
    [alert.get() addButtonWithTitle:@"OK"];
    [alert.get() setInformativeText:body];
    [alert.get() setAlertStyle:static_cast<NSAlertStyle>(style)];
    return [alert.get() runModal];
}
