// The preferred-language query: the first preferred language whose canonical
// form is exactly "en" or "ru" decides.
#include <gtest/gtest.h>

#import <Foundation/Foundation.h>

#include "common/mac/SystemLanguage.h"

namespace {

constexpr int kCallersDefault = 42;

// Sets "AppleLanguages" in the argument domain, which comes before every
// other domain and is never written to disk; restores the domain afterwards.
class PreferredLanguages : public ::testing::Test {
protected:
    PreferredLanguages() {
        NSUserDefaults* defaults = [NSUserDefaults standardUserDefaults];
        saved = [[defaults volatileDomainForName:NSArgumentDomain] retain];
    }

    ~PreferredLanguages() override {
        NSUserDefaults* defaults = [NSUserDefaults standardUserDefaults];
        [defaults removeVolatileDomainForName:NSArgumentDomain];
        if (saved != nil) [defaults setVolatileDomain:saved forName:NSArgumentDomain];
        [saved release];
        [pool release];
    }

    // `value` nil removes the setting.
    void Prefer(id value) {
        NSUserDefaults* defaults = [NSUserDefaults standardUserDefaults];
        NSMutableDictionary* domain = [NSMutableDictionary dictionaryWithDictionary:saved];
        if (value != nil) {
            [domain setObject:value forKey:@"AppleLanguages"];
        } else {
            [domain removeObjectForKey:@"AppleLanguages"];
        }
        [defaults removeVolatileDomainForName:NSArgumentDomain];
        [defaults setVolatileDomain:domain forName:NSArgumentDomain];
    }

    void PreferList(NSString* first, ...) {
        NSMutableArray* languages = [NSMutableArray array];
        va_list rest;
        va_start(rest, first);
        for (NSString* language = first; language != nil; language = va_arg(rest, NSString*)) {
            [languages addObject:language];
        }
        va_end(rest);
        Prefer(languages);
    }

private:
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    NSDictionary* saved = nil;
};

TEST_F(PreferredLanguages, TheFirstOfEnglishAndRussianDecides) {
    PreferList(@"fr", @"ru", @"en", nil);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), kLanguageCodeRussian);
    PreferList(@"de", @"en", @"ru", nil);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), kLanguageCodeEnglish);
    PreferList(@"en", nil);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), 9);
    PreferList(@"ru", nil);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), 25);
}

TEST_F(PreferredLanguages, LanguagesAreComparedInTheirCanonicalForm) {
    PreferList(@"EN", nil);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), kLanguageCodeEnglish);
    PreferList(@"fr", @"RU", nil);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), kLanguageCodeRussian);
}

TEST_F(PreferredLanguages, FormsWithARegionOrScriptMatchNeither) {
    PreferList(@"en-GB", @"ru-RU", @"en_US", @"zh-Hans", nil);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), kCallersDefault);
    PreferList(@"en-GB", @"ru", nil);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), kLanguageCodeRussian);
}

TEST_F(PreferredLanguages, WithoutEnglishOrRussianTheCallersDefaultIsReturned) {
    PreferList(@"fr", @"de", @"ja", nil);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), kCallersDefault);
    EXPECT_EQ(GetDefaultSystemLanguageMac(0), 0);
    PreferList(nil);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), kCallersDefault);
}

TEST_F(PreferredLanguages, AMissingOrMalformedSettingCountsAsNoLanguages) {
    Prefer(nil);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), kCallersDefault);
    Prefer(@"en");  // a string, not a list
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), kCallersDefault);
    Prefer([NSArray arrayWithObjects:[NSNumber numberWithInt:9], @"", @"ru", nil]);
    EXPECT_EQ(GetDefaultSystemLanguageMac(kCallersDefault), kLanguageCodeRussian);
}

}  // namespace
