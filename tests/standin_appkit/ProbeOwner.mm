#include "ProbeOwner.h"

@implementation StandinProbeOwner

- (void)dealloc {
    [probeWindow release];
    [probeButton release];
    [super dealloc];
}

- (void)setProbeWindow:(NSWindow*)window {
    [window retain];
    [probeWindow release];
    probeWindow = window;
}

- (void)setProbeButton:(NSButton*)button {
    [button retain];
    [probeButton release];
    probeButton = button;
}

- (NSWindow*)probeWindow {
    return probeWindow;
}

- (NSButton*)probeButton {
    return probeButton;
}

- (int)presses {
    return presses;
}

- (void)buttonPressed:(id)sender {
    if (sender == probeButton) ++presses;
}

@end
