// Every descriptor, reference and string the host hands out, with its owner.
//
// Handle values are never reused: each is a fresh address-like number that
// points at nothing, so a plug-in that frees a handle twice, or passes a
// handle of the wrong kind, is always caught here instead of touching freed
// memory, and a plug-in that dereferences one crashes at once.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "host/HostTypes.h"
#include "standin/host/Descriptor.h"
#include "standin/host/Reference.h"

namespace standin {

// Who must free a handle: the plug-in (a leak if it does not) or the host.
enum class Owner { plugin, host };

class HandleTable {
public:
    ActionDescriptorHandle AddDescriptor(Descriptor descriptor, Owner owner);
    ActionReferenceHandle AddReference(Owner owner);
    ASZString AddString(std::string text, Owner owner);

    // The live object of that kind behind a handle, or null.
    Descriptor* FindDescriptor(ActionDescriptorHandle handle);
    Reference* FindReference(ActionReferenceHandle handle);
    const std::string* FindString(ASZString handle) const;

    // Frees a live handle of that kind; false when it is not one.
    bool FreeDescriptor(ActionDescriptorHandle handle);
    bool FreeReference(ActionReferenceHandle handle);
    bool FreeString(ASZString handle);

    // Whether a live handle belongs to the host.
    bool IsHostOwned(const void* handle) const;

    // The host takes over a live descriptor (one written back by the plug-in).
    void TakeOver(ActionDescriptorHandle handle);

    int LiveCount(Owner owner) const;

    // One line per live handle of `owner`: kind, value and content.
    std::vector<std::string> DescribeLive(Owner owner) const;

    // Frees everything.
    void Clear() { live_.clear(); }

private:
    struct Entry {
        Owner owner;
        std::variant<Descriptor, Reference, std::string> object;
    };
    void* Add(Entry entry);
    template <class T>
    T* Find(const void* handle);
    template <class T>
    bool Free(const void* handle);

    std::map<uintptr_t, Entry> live_;
    uintptr_t next_ = 0x7d000010;
};

}  // namespace standin
