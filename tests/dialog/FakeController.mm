#include "FakeController.h"

#import "dialog/mac/DecimoraDialogController.h"
#include "dialog/DecimoraDialogAdapters.h"

namespace fakecontroller {
State state;
}

using fakecontroller::state;

namespace {

std::string Text(const char* text) { return text != nullptr ? text : "(null)"; }

void Log(const std::string& entry) { state.log.push_back(entry); }

}  // namespace

@interface FakeDialogController : NSObject
@end

@implementation FakeDialogController
- (void)setDialogTitle:(const char*)title {
    Log("title " + Text(title));
}
- (void)centerDialog {
    Log("centerDialog");
}
- (BOOL)endDialog:(int32_t)code {
    Log("end " + std::to_string(code));
    state.ended = true;
    state.endCode = code;
    return YES;
}
- (BOOL)setText:(int32_t)itemId :(const char*)text {
    Log("setText " + std::to_string(itemId) + " " + Text(text));
    return itemId == kButtonOKId || itemId == kButtonCancelId;
}
- (BOOL)setTextToolTip:(int32_t)itemId :(const char*)text {
    Log("tooltip " + std::to_string(itemId) + " " + Text(text));
    return NO;
}
- (int32_t)getPopUpButtonCurrentPos:(int32_t)itemId {
    Log("pos " + std::to_string(itemId));
    return itemId == kFactorPopupId ? state.selected : 0;
}
- (BOOL)addPopUpButtonText:(int32_t)itemId :(const char*)text {
    Log("add " + std::to_string(itemId) + " " + Text(text));
    if (itemId != kFactorPopupId || Text(text) == state.refusedItem) return NO;
    state.items.push_back(Text(text));
    return YES;
}
- (BOOL)removeAllItemsPopUpButton:(int32_t)itemId {
    Log("removeAll " + std::to_string(itemId));
    if (itemId != kFactorPopupId) return NO;
    state.items.clear();
    state.selected = 0;
    return YES;
}
- (BOOL)selectPopUpButtonPos:(int32_t)itemId :(int32_t)index {
    Log("select " + std::to_string(itemId) + " " + std::to_string(index));
    if (itemId != kFactorPopupId || index < 0 || index >= static_cast<int32_t>(state.items.size())) return NO;
    state.selected = index;
    return YES;
}
@end

DecimoraDialogController* gDecimoraDialogController = nil;

namespace fakecontroller {

void Install() {
    FakeDialogController* controller = [[FakeDialogController alloc] init];
    [gDecimoraDialogController release];
    gDecimoraDialogController = (DecimoraDialogController*)controller;
}

void Reset() {
    [gDecimoraDialogController release];
    gDecimoraDialogController = nil;
    state = State();
}

bool HasController() { return gDecimoraDialogController != nil; }

}  // namespace fakecontroller

bool initializeCocoaDecimoraDialogController() {
    Log("DialogCreate");
    if (state.windowLoads) {
        fakecontroller::Install();
        DecimoraDialogAdapter::OnInitDialog();
    }
    return gDecimoraDialogController != nil;
}

bool showDecimoraDialogModal() {
    Log("DialogShowModal");
    if (gDecimoraDialogController == nil) return false;
    state.ended = false;
    for (int click : state.clicks) {
        DecimoraDialogButtonAdapter::OnClicked(click);
        if (state.ended) break;
    }
    return state.ended && state.endCode == kDialogCodeOK;
}
