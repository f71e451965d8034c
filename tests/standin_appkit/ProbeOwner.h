// The owner of the probe nib, defined in the probe bundle's module and
// reached by the test through the Objective-C runtime.
#pragma once

#import <AppKit/AppKit.h>

@interface StandinProbeOwner : NSObject {
    NSWindow* probeWindow;
    NSButton* probeButton;
    int presses;
}
// Setters own what they are given; the nib loader uses them on every platform.
- (void)setProbeWindow:(NSWindow*)window;
- (void)setProbeButton:(NSButton*)button;
- (NSWindow*)probeWindow;
- (NSButton*)probeButton;
- (int)presses;
- (void)buttonPressed:(id)sender;
@end

// A class of a module that lies in no bundle folder.
@interface StandinLooseProbe : NSObject
@end
