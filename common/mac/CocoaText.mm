#include "common/mac/CocoaText.h"

NSString* NewTextFromUTF8(const char* utf8) {
    NSString* text = nil;
    if (utf8 != nullptr) text = [[NSString alloc] initWithCString:utf8 encoding:NSUTF8StringEncoding];
    return text != nil ? text : [[NSString alloc] initWithString:@""];
}
