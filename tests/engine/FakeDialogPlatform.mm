#include "FakeDialogPlatform.h"

#include <stdexcept>

#import "dialog/mac/DecimoraDialogController.h"
#include "dialog/DecimoraDialogAdapters.h"

namespace fakedialog {
Script script;
}

DecimoraDialogController* gDecimoraDialogController = nil;

bool initializeCocoaDecimoraDialogController() {
    ++fakedialog::script.created;
    if (!fakedialog::script.windowLoads) return false;
    DecimoraDialogAdapter::OnInitDialog();
    return true;
}

bool showDecimoraDialogModal() {
    ++fakedialog::script.shown;
    if (fakedialog::script.throwWhileShown) throw std::runtime_error("modal loop");
    DecimoraDialogButtonAdapter::OnClicked(fakedialog::script.clickedButton);
    return fakedialog::script.clickedButton == kButtonOKId;
}
