#include "common/mac/SystemLanguage.h"

#include <CoreFoundation/CoreFoundation.h>

#include <cstring>

#import <Foundation/Foundation.h>

#include "common/ScopedCFObject.h"
#include "common/mac/CocoaScopes.h"

namespace {

// Long enough for any canonical identifier that could equal "en" or "ru";
// longer ones do not fit and so match neither.
constexpr CFIndex kIdentifierBufferSize = 16;

// The code of one preferred language, 0 when it is neither English nor
// Russian or not a language identifier at all.
int LanguageCodeOf(id language) {
    if (![language isKindOfClass:[NSString class]]) return 0;
    const char* utf8 = [language UTF8String];
    if (utf8 == nullptr) return 0;
    ScopedCFObject<CFStringRef> text(CFStringCreateWithCString(kCFAllocatorDefault, utf8, kCFStringEncodingUTF8));
    if (!text) return 0;
    ScopedCFObject<CFStringRef> canonical(
        CFLocaleCreateCanonicalLanguageIdentifierFromString(kCFAllocatorDefault, text.get()));
    if (!canonical) return 0;
    char identifier[kIdentifierBufferSize];
    if (!CFStringGetCString(canonical.get(), identifier, sizeof identifier, kCFStringEncodingUTF8)) return 0;
    if (std::strcmp(identifier, "en") == 0) return kLanguageCodeEnglish;
    if (std::strcmp(identifier, "ru") == 0) return kLanguageCodeRussian;
    return 0;
}

}  // namespace

int GetDefaultSystemLanguageMac(int defaultCode) {
    AutoreleasePoolScope pool;
    id preferred = [[NSUserDefaults standardUserDefaults] objectForKey:@"AppleLanguages"];
    // A missing value, or one that is not a list, counts as no languages.
    NSArray* languages = [preferred isKindOfClass:[NSArray class]] ? preferred : nil;
    int code = 0;
    for (NSUInteger index = 0; code == 0 && index < [languages count]; ++index) {
        code = LanguageCodeOf([languages objectAtIndex:index]);
    }
    return code != 0 ? code : defaultCode;
}
