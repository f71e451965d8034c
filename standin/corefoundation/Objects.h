// The objects behind the stand-in's opaque references, and the checks every
// call makes on the references it is given.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <cstdint>
#include <string>
#include <vector>

enum class CFStandinType : uint32_t { String, Data, Bundle, Url };

struct CFStandinObject {
    CFStandinObject(CFStandinType objectType, bool ownedByFramework);
    virtual ~CFStandinObject();
    CFStandinObject(const CFStandinObject&) = delete;
    CFStandinObject& operator=(const CFStandinObject&) = delete;

    uint32_t magic;
    CFStandinType type;
    // Objects handed out by Get functions: the framework keeps them, and a
    // CFRelease from a caller is an over-release.
    bool ownedByFramework;
};

struct CFStandinString : CFStandinObject {
    static constexpr CFStandinType kType = CFStandinType::String;
    CFStandinString(std::u16string text, bool growable, CFIndex maxLength);

    std::u16string units;
    bool isMutable;
    CFIndex capacity;  // 0: no limit
};

struct CFStandinData : CFStandinObject {
    static constexpr CFStandinType kType = CFStandinType::Data;
    explicit CFStandinData(std::vector<UInt8> contents);

    std::vector<UInt8> bytes;
};

struct CFStandinBundle : CFStandinObject {
    static constexpr CFStandinType kType = CFStandinType::Bundle;
    CFStandinBundle(std::string bundleFolder, std::string bundleIdentifier);

    std::string folder;  // absolute, without a trailing slash
    std::string identifier;
};

struct CFStandinUrl : CFStandinObject {
    static constexpr CFStandinType kType = CFStandinType::Url;
    explicit CFStandinUrl(std::string absolutePath);

    std::string path;
};

namespace cfstandin {

// Marks a live object; cleared when the object is freed.
constexpr uint32_t kLiveMagic = 0x43465374;  // "CFSt"

// Reports a misuse on standard error and ends the process, as Apple's
// framework traps on it.
[[noreturn]] void Fail(const char* function, const char* problem);

inline void Require(bool condition, const char* function, const char* problem) {
    if (!condition) Fail(function, problem);
}

// The object behind a reference, after checking that it is a live object of
// type T.
template <class T>
T* Checked(CFTypeRef reference, const char* function) {
    Require(reference != nullptr, function, "null object");
    auto* object = const_cast<CFStandinObject*>(static_cast<const CFStandinObject*>(reference));
    Require(object->magic == kLiveMagic, function, "not a live object (already released?)");
    Require(object->type == T::kType, function, "object of the wrong type");
    return static_cast<T*>(object);
}

}  // namespace cfstandin
