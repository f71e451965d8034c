// The user's preferred interface language, as far as the plug-in cares:
// English or Russian.
#pragma once

// Language codes, equal to the primary-language numbers of Windows language
// identifiers.
constexpr int kLanguageCodeEnglish = 9;
constexpr int kLanguageCodeRussian = 25;

// Goes through the user's preferred languages (the "AppleLanguages" user
// default, most preferred first) and returns kLanguageCodeEnglish or
// kLanguageCodeRussian for the first one whose canonical form is exactly "en"
// or "ru". Forms that keep a region or script ("en-GB") match neither. When
// no language matches, or there is no such default, returns `defaultCode`.
int GetDefaultSystemLanguageMac(int defaultCode);
