// Canonical language identifiers: "en_US" -> "en-US", "EN" -> "en",
// "zh_hans" -> "zh-Hans", "English" -> "en".
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "standin/corefoundation/Objects.h"
#include "standin/corefoundation/Unicode.h"

using cfstandin::Checked;

namespace {

// Language names older systems stored instead of codes.
struct LegacyName {
    const char* name;
    const char* code;
};
constexpr LegacyName kLegacyNames[] = {
    {"english", "en"}, {"russian", "ru"},  {"french", "fr"},   {"german", "de"},   {"italian", "it"},
    {"spanish", "es"}, {"japanese", "ja"}, {"dutch", "nl"},    {"swedish", "sv"},  {"danish", "da"},
    {"finnish", "fi"}, {"norwegian", "nb"}, {"portuguese", "pt"}, {"polish", "pl"}, {"ukrainian", "uk"},
};

constexpr size_t kMaxSubtagLength = 8;

// ASCII only, whatever locale the host process has set.
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char ToUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsAlpha(const std::string& text) { return std::all_of(text.begin(), text.end(), IsLetter); }
bool IsDigits(const std::string& text) { return std::all_of(text.begin(), text.end(), IsDigit); }
bool IsAlphanumeric(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return IsLetter(c) || IsDigit(c); });
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), ToLower);
    return text;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), ToUpper);
    return text;
}

std::string Title(std::string text) {
    text = Lower(std::move(text));
    text[0] = ToUpper(text[0]);
    return text;
}

// Splits at "-" and "_"; nothing when a subtag is empty, too long or holds
// anything but ASCII letters and digits.
std::optional<std::vector<std::string>> Subtags(const std::string& identifier) {
    std::vector<std::string> subtags(1);
    for (char c : identifier) {
        if (c == '-' || c == '_') {
            subtags.emplace_back();
        } else {
            subtags.back().push_back(c);
        }
    }
    for (const std::string& subtag : subtags) {
        if (subtag.empty() || subtag.size() > kMaxSubtagLength || !IsAlphanumeric(subtag)) return std::nullopt;
    }
    return subtags;
}

std::optional<std::string> Canonical(const std::string& identifier) {
    for (const LegacyName& legacy : kLegacyNames) {
        if (Lower(identifier) == legacy.name) return std::string(legacy.code);
    }
    std::optional<std::vector<std::string>> subtags = Subtags(identifier);
    if (!subtags) return std::nullopt;
    const std::string& language = subtags->front();
    if (language.size() < 2 || language.size() > 3 || !IsAlpha(language)) return std::nullopt;

    std::string canonical = Lower(language);
    bool scriptAllowed = true;
    bool regionAllowed = true;
    bool privateUse = false;
    for (size_t i = 1; i < subtags->size(); ++i) {
        std::string subtag = (*subtags)[i];
        if (privateUse || subtag.size() == 1) {
            // A singleton starts extensions or private use, which keep their case folded.
            privateUse = true;
            subtag = Lower(subtag);
        } else if (scriptAllowed && subtag.size() == 4 && IsAlpha(subtag)) {
            subtag = Title(subtag);
        } else if (regionAllowed && ((subtag.size() == 2 && IsAlpha(subtag)) || (subtag.size() == 3 && IsDigits(subtag)))) {
            subtag = Upper(subtag);
            regionAllowed = false;
        } else {
            subtag = Lower(subtag);
            regionAllowed = false;
        }
        scriptAllowed = false;
        canonical += "-" + subtag;
    }
    return canonical;
}

}  // namespace

CFLocaleIdentifier CFLocaleCreateCanonicalLanguageIdentifierFromString(CFAllocatorRef,
                                                                       CFStringRef localeIdentifier) {
    const CFStandinString* text =
        Checked<CFStandinString>(localeIdentifier, "CFLocaleCreateCanonicalLanguageIdentifierFromString");
    std::string identifier;
    if (!cfstandin::EncodeWhole(text->units, kCFStringEncodingUTF8, identifier)) return nullptr;
    std::optional<std::string> canonical = Canonical(identifier);
    if (!canonical) return nullptr;
    std::u16string units(canonical->begin(), canonical->end());
    return new CFStandinString(std::move(units), false, 0);
}
