// The factor dialog's window controller: loads the "DecimoraDialog" nib from
// the plug-in's own bundle, runs the window modally and maps the control
// identifiers (10101 popup, 10102 OK, 10103 Cancel) to its controls.
#pragma once

#include <cstdint>

#ifdef __OBJC__
#import <AppKit/AppKit.h>

@interface DecimoraDialogController : NSObject {
    NSWindow* decimoraWindow;
    NSPopUpButton* popUpButtonFactor;
    NSButton* buttonOK;
    NSButton* buttonCancel;
}
// The controller whose nib loaded most recently, or nil.
+ (DecimoraDialogController*)DecimoraDialogController;
// Loads the nib from the bundle holding this class; on success publishes the
// controller in gDecimoraDialogController and lets the dialog logic
// initialise the window, otherwise shows the error #35 alert.
- (id)init;
// Shows the window, runs it modally and hides it again; returns the loop's code.
- (int32_t)showWindow;
- (void)setDialogTitle:(const char*)title;
- (void)centerDialog;
// Ends the running modal loop with `code`, also when called outside the
// loop's own events. Returns YES.
- (BOOL)endDialog:(int32_t)code;
// Text items: the dialog has none, so these find no item and return 0, nil or
// NO, except setText::, which then retitles the button of that identifier.
- (int32_t)getIextItemID:(id)item;
- (id)getTextItem:(int32_t)itemId;
- (BOOL)setText:(int32_t)itemId :(const char*)text;
- (BOOL)setTextToolTip:(int32_t)itemId :(const char*)text;
- (BOOL)getText:(int32_t)itemId :(char*)buffer :(uint64_t)capacity;
- (BOOL)setTextAble:(int32_t)itemId :(BOOL)enabled;
- (BOOL)setTextFocus:(int32_t)itemId;
- (BOOL)setTextSelected:(int32_t)itemId :(BOOL)selected;
// The action of OK and Cancel: passes the click to the dialog logic.
- (void)buttonClicked:(id)sender;
// Buttons (10102 OK, 10103 Cancel) and the popup (10101): each returns
// whether the identifier names such a control. Texts are UTF-8; a null or
// malformed text changes no control.
- (id)getButtonItem:(int32_t)itemId;
- (BOOL)setButtonText:(int32_t)itemId :(const char*)text;
- (BOOL)setButtonAble:(int32_t)itemId :(BOOL)enabled;
- (BOOL)setButtonToolTip:(int32_t)itemId :(const char*)text;
- (id)getPopUpButtonItem:(int32_t)itemId;
- (int32_t)getPopUpButtonItemID:(id)item;
- (int32_t)getPopUpButtonCurrentPos:(int32_t)itemId;
- (BOOL)addPopUpButtonText:(int32_t)itemId :(const char*)text;
- (BOOL)removeAllItemsPopUpButton:(int32_t)itemId;
// Selects the popup item at `index`; false when there is no such popup or item.
- (BOOL)selectPopUpButtonPos:(int32_t)itemId :(int32_t)index;
// The window's close box: answered like a click on Cancel; returns NO, the
// window is hidden when the modal loop ends.
- (BOOL)windowShouldClose:(id)sender;
@end

// Owns the controller whose nib loaded most recently.
extern DecimoraDialogController* gDecimoraDialogController;
#endif

// Creates a controller and loads its window; true when a controller with a
// loaded window is held afterwards.
bool initializeCocoaDecimoraDialogController();

// Shows the held controller's window modally; true when the loop ended with 1.
bool showDecimoraDialogModal();
