#include "support/gui/Application.h"

#import <AppKit/AppKit.h>

namespace gui_test {

void PrepareApplication() {
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    [NSApplication sharedApplication];
    [pool release];
}

}  // namespace gui_test
