// Running modal alerts: the shared steps of the About box and the message
// boxes.
#pragma once

#ifdef __OBJC__
#import <AppKit/AppKit.h>

#include "common/mac/ModuleLocal.h"

// The look of an alert, by the numbers NSAlert uses for its styles.
enum class AlertStyle : NSUInteger {
    Warning = 0,
    Informational = 1,
    Critical = 2,
};

// The results of runModal for the first and second button added.
constexpr NSInteger kFirstButtonResult = 1000;
constexpr NSInteger kSecondButtonResult = 1001;

// Makes sure AppKit can show an alert: a host that has not set AppKit up (a
// plain program that loaded the plug-in) gets the shared application first.
DECIMORA_MODULE_LOCAL void PrepareAppKitForAlerts();

// Shows a modal alert with `headline` as message text, `body` as informative
// text, the one button "OK" and the given style; returns the modal result.
DECIMORA_MODULE_LOCAL NSInteger RunOkAlert(NSString* headline, NSString* body, AlertStyle style);

#endif  // __OBJC__
