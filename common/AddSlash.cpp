// Making sure a directory path ends in a separator.
#include <algorithm>
#include <climits>
#include <cstring>

#include "common/MutableText.h"
#include "common/MyString.h"
#include "common/ScopedCFObject.h"

namespace {

bool IsSeparator(UniChar unit) { return unit == '/' || unit == '\\'; }

// Bytes of the text in UTF-8, without a terminator.
CFIndex Utf8Length(CFStringRef text) {
    CFIndex bytes = 0;
    CFStringGetBytes(text, CFRangeMake(0, CFStringGetLength(text)), kCFStringEncodingUTF8, 0, false, nullptr, 0,
                     &bytes);
    return bytes;
}

}  // namespace

bool MyString::AddSlash(char* path, uint64_t size) {
    // The path must be terminated within its buffer; an empty path has no
    // last character to test.
    if (path == nullptr || size == 0 || path[0] == '\0' || std::memchr(path, '\0', size) == nullptr) return false;
    ScopedCFObject<CFMutableStringRef> text(CreateMutableTextFromUTF8(path));
    if (!text) return false;

    const CFIndex length = CFStringGetLength(text.get());
    if (IsSeparator(CFStringGetCharacterAtIndex(text.get(), length - 1))) return false;

    CFStringAppendCString(text.get(), "/", kCFStringEncodingUTF8);
    // Checked before writing: a failed write may leave the buffer cut short
    // and unterminated, and the path is to stay untouched on refusal.
    if (static_cast<uint64_t>(Utf8Length(text.get())) >= size) return false;
    const auto limit = static_cast<CFIndex>(std::min<uint64_t>(size, LONG_MAX));
    return CFStringGetCString(text.get(), path, limit, kCFStringEncodingUTF8);
}
