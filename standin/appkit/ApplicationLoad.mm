#include "standin/appkit/StandinAppKit.h"

BOOL NSApplicationLoad(void) {
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    [NSApplication sharedApplication];
    [pool release];
    return YES;
}
