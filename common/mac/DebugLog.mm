#include "common/mac/DebugLog.h"

#include <cstdarg>

#include "common/MyString.h"
#include "common/mac/CocoaScopes.h"
#include "common/mac/CocoaText.h"
#include "common/mac/MainThreadRecord.h"

namespace {

NSString* const kMainThreadTag = @" MAIN";
NSString* const kSecondaryThreadTag = @"        SEC";

// "<tag>: <format>", with the caller's placeholders left for NSLogv to fill.
NSString* NewTaggedFormat(NSString* format) {
    return [[NSString alloc] initWithFormat:@"%@: %@", GetThreadNameMac(), format];
}

}  // namespace

NSString* GetThreadNameMac() {
    return MainThreadRecord::ForLogging().IsMainThread() ? kMainThreadTag : kSecondaryThreadTag;
}

void MyString::DebugLog(const char* first, const char* second) {
    AutoreleasePoolScope pool;
    OwnedObject<NSString> firstText(NewTextFromUTF8(first));
    OwnedObject<NSString> secondText(NewTextFromUTF8(second));
    // The texts are arguments, never formats: a "%" in them is logged as is.
    NSLog(@"%@: %@%@", GetThreadNameMac(), firstText.get(), secondText.get());
}

void MyString::DebugLogFormat(const char* format, ...) {
    AutoreleasePoolScope pool;
    OwnedObject<NSString> formatText(NewTextFromUTF8(format));
    OwnedObject<NSString> lineFormat(NewTaggedFormat(formatText.get()));
    va_list arguments;
    va_start(arguments, format);
    NSLogv(lineFormat.get(), arguments);
    va_end(arguments);
}

void MyNSLog(NSString* format, ...) {
    AutoreleasePoolScope pool;
    OwnedObject<NSString> lineFormat(NewTaggedFormat(format != nil ? format : @""));
    va_list arguments;
    va_start(arguments, format);
    NSLogv(lineFormat.get(), arguments);
    va_end(arguments);
}
