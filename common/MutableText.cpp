#include "common/MutableText.h"

#include "common/ScopedCFObject.h"

CFMutableStringRef CreateMutableTextFromUTF8(const char* source) {
    if (source == nullptr) return nullptr;
    // Appending a C string drops invalid bytes without a word, so the text is
    // decoded on its own first, where invalid UTF-8 shows as null.
    ScopedCFObject<CFStringRef> decoded(CFStringCreateWithCString(kCFAllocatorDefault, source, kCFStringEncodingUTF8));
    if (!decoded) return nullptr;
    CFMutableStringRef text = CFStringCreateMutable(kCFAllocatorDefault, 0);
    if (text != nullptr) CFStringAppend(text, decoded.get());
    return text;
}
