#import "dialog/mac/DecimoraDialogController.h"

#ifdef GNUSTEP
#include <initializer_list>

#include "standin/appkit/StandinAppKit.h"
#endif

#include "common/mac/MessageBoxes.h"
#include "dialog/DecimoraDialogAdapters.h"
#include "dialog/mac/DialogPlacement.h"

DecimoraDialogController* gDecimoraDialogController = nil;

namespace {

NSString* const kDialogNibName = @"DecimoraDialog";

const char* const kNibLoadFailedMessage =
    "The error #35. Please reinstall the plug-in. If the error persists, contact the plug-in developer";

// An owned string made from UTF-8 text; nil for a null pointer or text that
// is not UTF-8, so that no control is ever given nil.
NSMutableString* NewTextFromUtf8(const char* text) {
    if (text == nullptr) return nil;
    return [[NSMutableString alloc] initWithUTF8String:text];
}

#ifdef GNUSTEP
// GNUstep's nib loader sets outlets without retaining them and leaves the
// top-level objects to the autorelease pool. Taking a reference for each
// connected outlet makes them the owning references that dealloc releases, as
// AppKit's loader does by retaining what it stores in an outlet.
void RetainConnectedOutlets(std::initializer_list<id> outlets) {
    for (id outlet : outlets) [outlet retain];
}

// GNUstep hands a key to the focused control before any button sees it as a
// key equivalent, and a focused popup swallows Return. With the window itself
// focused, Return reaches the default button (OK) and Escape ends the modal
// loop with NSModalResponseAbort, which the dialog counts as Cancel. On macOS
// the buttons' key equivalents from the nib do this on their own.
void MakeWindowTakeKeys(NSWindow* window, NSButton* defaultButton) {
    if (defaultButton != nil) [window setDefaultButtonCell:[defaultButton cell]];
    [window makeFirstResponder:window];
}
#endif

// Makes a modal loop that was told to stop notice at once, even when the stop
// came from outside the loop's own events (a timer, say). The loop looks at
// its stop state only when it receives an event, so an application-defined
// event is posted for it. GNUstep's run loop does not wake for a posted event
// while it waits for input until its next timer is due, so a timer due at once
// ends that wait; what it invokes does not matter, so it asks for the modal
// window, which changes nothing.
void WakeModalLoop(NSApplication* application) {
    NSEvent* wake = [NSEvent otherEventWithType:NSApplicationDefined
                                       location:NSMakePoint(0, 0)
                                  modifierFlags:0
                                      timestamp:0
                                   windowNumber:[[application modalWindow] windowNumber]
                                        context:nil
                                        subtype:0
                                          data1:0
                                          data2:0];
    [application postEvent:wake atStart:YES];
#ifdef GNUSTEP
    NSInvocation* harmless =
        [NSInvocation invocationWithMethodSignature:[application methodSignatureForSelector:@selector(modalWindow)]];
    [harmless setTarget:application];
    [harmless setSelector:@selector(modalWindow)];
    [[NSRunLoop currentRunLoop] addTimer:[NSTimer timerWithTimeInterval:0 invocation:harmless repeats:NO]
                                 forMode:NSModalPanelRunLoopMode];
#endif
}

}  // namespace

@implementation DecimoraDialogController

+ (DecimoraDialogController*)DecimoraDialogController {
    return gDecimoraDialogController;
}

- (id)init {
    self = [super init];
    if (self == nil) return nil;
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    NSApplicationLoad();
    NSBundle* bundle = [NSBundle bundleForClass:[DecimoraDialogController class]];
    const BOOL loaded = [bundle loadNibNamed:kDialogNibName owner:self topLevelObjects:NULL];
#ifdef GNUSTEP
    // Also after a failed load: whatever was connected is released by dealloc.
    RetainConnectedOutlets({decimoraWindow, popUpButtonFactor, buttonOK, buttonCancel});
#endif
    if (loaded) {
        // Published before the logic runs: it centres and fills the window
        // through the global.
        [self retain];
        [gDecimoraDialogController release];
        gDecimoraDialogController = self;
        DecimoraDialogAdapter::OnInitDialog();
    } else {
        gShowErrorMessage(kNibLoadFailedMessage);
    }
    [pool release];
    return self;
}

- (void)dealloc {
    // The window may outlive its controller; it must not call back into it.
    [decimoraWindow setDelegate:nil];
    [buttonOK setTarget:nil];
    [buttonCancel setTarget:nil];
    [decimoraWindow release];
    [popUpButtonFactor release];
    [buttonOK release];
    [buttonCancel release];
    [super dealloc];
}

- (int32_t)showWindow {
    // A nib that loads without connecting the window gives nothing to run;
    // AppKit would raise for a modal loop without a window.
    if (decimoraWindow == nil) return kDialogCodeCancel;
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    [decimoraWindow makeKeyAndOrderFront:nil];
#ifdef GNUSTEP
    MakeWindowTakeKeys(decimoraWindow, buttonOK);
#endif
    const NSInteger code = [[NSApplication sharedApplication] runModalForWindow:decimoraWindow];
    [decimoraWindow orderOut:self];
    [pool release];
    return static_cast<int32_t>(code);
}

- (void)setDialogTitle:(const char*)title {
    NSMutableString* text = NewTextFromUtf8(title);
    if (text != nil) [decimoraWindow setTitle:text];
    [text release];
}

- (void)centerDialog {
    NSScreen* screen = [NSScreen mainScreen];
    const NSRect visible = screen != nil ? [screen visibleFrame] : NSZeroRect;
    const NSSize size = decimoraWindow != nil ? [decimoraWindow frame].size : NSZeroSize;
    const dialog_mac::ScreenPoint origin = dialog_mac::DialogOrigin(
        dialog_mac::ScreenRect{visible.origin.x, visible.origin.y, visible.size.width, visible.size.height},
        size.width, size.height);
    [decimoraWindow setFrameOrigin:NSMakePoint(origin.x, origin.y)];
}

- (BOOL)endDialog:(int32_t)code {
    NSApplication* application = [NSApplication sharedApplication];
    [application stopModalWithCode:static_cast<NSInteger>(code)];
    WakeModalLoop(application);
    return YES;
}

- (int32_t)getIextItemID:(id)item {
    (void)item;
    return 0;
}

- (id)getTextItem:(int32_t)itemId {
    (void)itemId;
    return nil;
}

- (BOOL)setText:(int32_t)itemId :(const char*)text {
    NSTextField* item = [self getTextItem:itemId];
    if (item == nil) return [self setButtonText:itemId :text];
    NSMutableString* value = NewTextFromUtf8(text);
    if (value != nil) [item setStringValue:value];
    [value release];
    return YES;
}

- (BOOL)setTextToolTip:(int32_t)itemId :(const char*)text {
    NSTextField* item = [self getTextItem:itemId];
    if (item == nil) return NO;
    NSMutableString* tip = NewTextFromUtf8(text);
    if (tip != nil) [item setToolTip:tip];
    [tip release];
    return YES;
}

- (BOOL)getText:(int32_t)itemId :(char*)buffer :(uint64_t)capacity {
    NSTextField* item = [self getTextItem:itemId];
    if (item == nil || buffer == nullptr) return NO;
    return [[item stringValue] getCString:buffer
                                maxLength:static_cast<NSUInteger>(capacity)
                                 encoding:NSUTF8StringEncoding];
}

- (BOOL)setTextAble:(int32_t)itemId :(BOOL)enabled {
    NSTextField* item = [self getTextItem:itemId];
    if (item == nil) return NO;
    [item setEnabled:enabled];
    return YES;
}

- (BOOL)setTextFocus:(int32_t)itemId {
    return [self getTextItem:itemId] != nil;
}

- (BOOL)setTextSelected:(int32_t)itemId :(BOOL)selected {
    NSTextField* item = [self getTextItem:itemId];
    if (item == nil) return NO;
    [item setSelectable:selected];
    if (selected) [item selectText:self];
    return YES;
}

- (void)buttonClicked:(id)sender {
    if (sender == nil) return;
    if (sender == buttonOK) {
        DecimoraDialogButtonAdapter::OnClicked(kButtonOKId);
    } else if (sender == buttonCancel) {
        DecimoraDialogButtonAdapter::OnClicked(kButtonCancelId);
    }
}

- (id)getButtonItem:(int32_t)itemId {
    if (itemId == kButtonOKId) return buttonOK;
    if (itemId == kButtonCancelId) return buttonCancel;
    return nil;
}

- (BOOL)setButtonText:(int32_t)itemId :(const char*)text {
    NSButton* button = [self getButtonItem:itemId];
    if (button == nil) return NO;
    NSMutableString* title = NewTextFromUtf8(text);
    if (title != nil) [button setTitle:title];
    [title release];
    return YES;
}

- (BOOL)setButtonAble:(int32_t)itemId :(BOOL)enabled {
    NSButton* button = [self getButtonItem:itemId];
    if (button == nil) return NO;
    [button setEnabled:enabled];
    return YES;
}

- (BOOL)setButtonToolTip:(int32_t)itemId :(const char*)text {
    NSButton* button = [self getButtonItem:itemId];
    if (button == nil) return NO;
    NSMutableString* tip = NewTextFromUtf8(text);
    if (tip != nil) [button setToolTip:tip];
    [tip release];
    return YES;
}

- (id)getPopUpButtonItem:(int32_t)itemId {
    return itemId == kFactorPopupId ? popUpButtonFactor : nil;
}

- (int32_t)getPopUpButtonItemID:(id)item {
    return item != nil && item == popUpButtonFactor ? kFactorPopupId : 0;
}

- (int32_t)getPopUpButtonCurrentPos:(int32_t)itemId {
    NSPopUpButton* popUp = [self getPopUpButtonItem:itemId];
    if (popUp == nil) return 0;
    return static_cast<int32_t>([popUp indexOfSelectedItem]);
}

- (BOOL)addPopUpButtonText:(int32_t)itemId :(const char*)text {
    NSPopUpButton* popUp = [self getPopUpButtonItem:itemId];
    if (popUp == nil) return NO;
    NSMutableString* title = NewTextFromUtf8(text);
    // An item without a text is not added; the caller must not count it.
    if (title == nil) return NO;
    [popUp addItemWithTitle:title];
    [title release];
    return YES;
}

- (BOOL)removeAllItemsPopUpButton:(int32_t)itemId {
    NSPopUpButton* popUp = [self getPopUpButtonItem:itemId];
    if (popUp == nil) return NO;
    [popUp removeAllItems];
    return YES;
}

- (BOOL)selectPopUpButtonPos:(int32_t)itemId :(int32_t)index {
    NSPopUpButton* popUp = [self getPopUpButtonItem:itemId];
    if (popUp == nil || index < 0 || index >= [popUp numberOfItems]) return NO;
    [popUp selectItemAtIndex:index];
    return YES;
}

// The close box cancels, like the Cancel button. The window is never closed:
// the dialog's loop hides it when it ends.
- (BOOL)windowShouldClose:(id)sender {
    (void)sender;
    DecimoraDialogButtonAdapter::OnClicked(kButtonCancelId);
    return NO;
}

@end

bool initializeCocoaDecimoraDialogController() {
    // init publishes the controller when its window loads; otherwise this
    // release destroys it.
    DecimoraDialogController* controller = [[DecimoraDialogController alloc] init];
    [controller release];
    return gDecimoraDialogController != nil;
}

bool showDecimoraDialogModal() {
    DecimoraDialogController* controller = [DecimoraDialogController DecimoraDialogController];
    if (controller == nil) return false;
    return [controller showWindow] == kDialogCodeOK;
}
