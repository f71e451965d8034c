#include "standin/corefoundation/Objects.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "standin/corefoundation/LiveObjects.h"

const CFAllocatorRef kCFAllocatorDefault = nullptr;

namespace {
std::atomic<long> liveObjects{0};
}  // namespace

namespace cfstandin {

void Fail(const char* function, const char* problem) {
    std::fprintf(stderr, "CoreFoundation stand-in: %s: %s\n", function, problem);
    std::abort();
}

}  // namespace cfstandin

CFStandinObject::CFStandinObject(CFStandinType objectType, bool owned)
    : magic(cfstandin::kLiveMagic), type(objectType), ownedByFramework(owned) {
    ++liveObjects;
}

// Clearing the magic lets a later call on a stale reference be recognised
// while the memory has not been reused.
CFStandinObject::~CFStandinObject() {
    magic = 0;
    --liveObjects;
}

CFStandinString::CFStandinString(std::u16string text, bool growable, CFIndex maxLength)
    : CFStandinObject(kType, false), units(std::move(text)), isMutable(growable), capacity(maxLength) {}

CFStandinData::CFStandinData(std::vector<UInt8> contents)
    : CFStandinObject(kType, false), bytes(std::move(contents)) {}

CFStandinBundle::CFStandinBundle(std::string bundleFolder, std::string bundleIdentifier)
    : CFStandinObject(kType, true), folder(std::move(bundleFolder)), identifier(std::move(bundleIdentifier)) {}

CFStandinUrl::CFStandinUrl(std::string absolutePath) : CFStandinObject(kType, false), path(std::move(absolutePath)) {}

long CFStandinLiveObjectCount() { return liveObjects.load(); }

// Every object made for a caller holds exactly one reference (there is no
// retain), so releasing it frees it.
void CFRelease(CFTypeRef reference) {
    cfstandin::Require(reference != nullptr, "CFRelease", "null object");
    auto* object = const_cast<CFStandinObject*>(static_cast<const CFStandinObject*>(reference));
    cfstandin::Require(object->magic == cfstandin::kLiveMagic, "CFRelease", "not a live object (released twice?)");
    cfstandin::Require(!object->ownedByFramework, "CFRelease", "over-release of an object obtained from a Get function");
    delete object;
}
