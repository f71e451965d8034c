#include <gtest/gtest.h>

#include "common/CFObjectBalance.h"
#include "standin_corefoundation/CFTestSupport.h"

namespace {

class CanonicalLanguage : public CFObjectBalance {
protected:
    // The canonical form, or "<null>" when there is none.
    static std::string Canonical(const std::string& identifier) {
        ScopedString text(MakeString(identifier));
        ScopedString canonical(CFLocaleCreateCanonicalLanguageIdentifierFromString(kCFAllocatorDefault, text.get()));
        return canonical ? Utf8Of(canonical.get()) : "<null>";
    }
};

}  // namespace

TEST_F(CanonicalLanguage, JoinsWithHyphensAndFixesTheCaseOfEachSubtag) {
    EXPECT_EQ(Canonical("en_US"), "en-US");
    EXPECT_EQ(Canonical("EN"), "en");
    EXPECT_EQ(Canonical("ru"), "ru");
    EXPECT_EQ(Canonical("ru-RU"), "ru-RU");
    EXPECT_EQ(Canonical("zh-Hans"), "zh-Hans");
    EXPECT_EQ(Canonical("ZH_hans_cn"), "zh-Hans-CN");
    EXPECT_EQ(Canonical("es-419"), "es-419");
    EXPECT_EQ(Canonical("de-DE-1996"), "de-DE-1996");
    EXPECT_EQ(Canonical("en-US-x-Twain"), "en-US-x-twain");
}

TEST_F(CanonicalLanguage, LegacyLanguageNamesBecomeCodes) {
    EXPECT_EQ(Canonical("English"), "en");
    EXPECT_EQ(Canonical("Russian"), "ru");
    EXPECT_EQ(Canonical("French"), "fr");
}

TEST_F(CanonicalLanguage, TextThatIsNoLanguageIdentifierGivesNull) {
    for (const char* bad : {"", "e", "123", "en--US", "en US", "en-", "-en", "en-abcdefghi", "\xD0\x96\xD0\x96"}) {
        EXPECT_EQ(Canonical(bad), "<null>") << bad;
    }
}
