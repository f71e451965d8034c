#include "support/gui/AlertRecorder.h"

#include <objc/runtime.h>

#include <cstdlib>

#import <AppKit/AppKit.h>

namespace gui_test {

struct AlertRecorderAccess {
    static void Add(AlertRecorder* recorder, RecordedAlert alert) { recorder->alerts.push_back(std::move(alert)); }
};

namespace {

using RunModalImp = NSInteger (*)(id, SEL);

AlertRecorder* gRecorder = nullptr;
RunModalImp gOriginalRunModal = nullptr;

std::string Utf8(NSString* text) {
    const char* bytes = [text UTF8String];
    return bytes != nullptr ? std::string(bytes) : std::string();
}

RecordedAlert Describe(NSAlert* alert) {
    RecordedAlert described;
    described.messageText = Utf8([alert messageText]);
    described.informativeText = Utf8([alert informativeText]);
    described.style = static_cast<unsigned long>([alert alertStyle]);
    NSArray* buttons = [alert buttons];
    for (NSUInteger index = 0; index < [buttons count]; ++index) {
        described.buttonTitles.push_back(Utf8([[buttons objectAtIndex:index] title]));
    }
    return described;
}

NSInteger RecordingRunModal(id alert, SEL selector) {
    RecordedAlert described = Describe(alert);
    const NSInteger result = gOriginalRunModal(alert, selector);
    described.result = static_cast<long>(result);
    if (gRecorder != nullptr) AlertRecorderAccess::Add(gRecorder, std::move(described));
    return result;
}

// Function pointers of different types pass through the generic function
// type, which the compiler accepts as a deliberate conversion.
template <class To, class From>
To FunctionCast(From function) {
    return reinterpret_cast<To>(reinterpret_cast<void (*)()>(function));
}

Method RunModalMethod() {
    return class_getInstanceMethod([NSAlert class], @selector(runModal));
}

}  // namespace

AlertRecorder::AlertRecorder() {
    if (gRecorder != nullptr) std::abort();  // one recorder at a time
    gRecorder = this;
    gOriginalRunModal = FunctionCast<RunModalImp>(
        method_setImplementation(RunModalMethod(), FunctionCast<IMP>(&RecordingRunModal)));
}

AlertRecorder::~AlertRecorder() {
    method_setImplementation(RunModalMethod(), FunctionCast<IMP>(gOriginalRunModal));
    gRecorder = nullptr;
}

}  // namespace gui_test
