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
- (id)init;
- (int32_t)showWindow;
- (void)setDialogTitle:(const char*)title;
- (void)centerDialog;
- (BOOL)endDialog:(int32_t)code;
- (int32_t)getIextItemID:(id)item;
- (id)getTextItem:(int32_t)itemId;
- (BOOL)setText:(int32_t)itemId :(const char*)text;
- (BOOL)setTextToolTip:(int32_t)itemId :(const char*)text;
- (BOOL)getText:(int32_t)itemId :(char*)buffer :(uint64_t)capacity;
- (BOOL)setTextAble:(int32_t)itemId :(BOOL)enabled;
- (BOOL)setTextFocus:(int32_t)itemId;
- (BOOL)setTextSelected:(int32_t)itemId :(BOOL)selected;
- (void)buttonClicked:(id)sender;
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
@end

// Owns the controller whose nib loaded most recently.
extern DecimoraDialogController* gDecimoraDialogController;
#endif

// Creates a controller and loads its window; true when a controller with a
// loaded window is held afterwards.
bool initializeCocoaDecimoraDialogController();

// Shows the held controller's window modally; true when the loop ended with 1.
bool showDecimoraDialogModal();
