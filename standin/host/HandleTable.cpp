#include "standin/host/HandleTable.h"

#include <sstream>

namespace standin {

bool AddressesTargetDocument(const Reference& reference) {
    return reference.size() == 1 && reference[0].desiredClass == fourcc::kDocument &&
           reference[0].type == fourcc::kOrdinal && reference[0].value == fourcc::kTarget;
}

void* HandleTable::Add(Entry entry) {
    const uintptr_t value = next_;
    next_ += 0x10;
    live_.emplace(value, std::move(entry));
    return reinterpret_cast<void*>(value);
}

template <class T>
T* HandleTable::Find(const void* handle) {
    auto found = live_.find(reinterpret_cast<uintptr_t>(handle));
    if (found == live_.end()) return nullptr;
    return std::get_if<T>(&found->second.object);
}

template <class T>
bool HandleTable::Free(const void* handle) {
    if (Find<T>(handle) == nullptr) return false;
    live_.erase(reinterpret_cast<uintptr_t>(handle));
    return true;
}

ActionDescriptorHandle HandleTable::AddDescriptor(Descriptor descriptor, Owner owner) {
    return static_cast<ActionDescriptorHandle>(Add(Entry{owner, std::move(descriptor)}));
}

ActionReferenceHandle HandleTable::AddReference(Owner owner) {
    return static_cast<ActionReferenceHandle>(Add(Entry{owner, Reference()}));
}

ASZString HandleTable::AddString(std::string text, Owner owner) {
    return static_cast<ASZString>(Add(Entry{owner, std::move(text)}));
}

Descriptor* HandleTable::FindDescriptor(ActionDescriptorHandle handle) { return Find<Descriptor>(handle); }
Reference* HandleTable::FindReference(ActionReferenceHandle handle) { return Find<Reference>(handle); }

const std::string* HandleTable::FindString(ASZString handle) const {
    auto found = live_.find(reinterpret_cast<uintptr_t>(handle));
    if (found == live_.end()) return nullptr;
    return std::get_if<std::string>(&found->second.object);
}

bool HandleTable::FreeDescriptor(ActionDescriptorHandle handle) { return Free<Descriptor>(handle); }
bool HandleTable::FreeReference(ActionReferenceHandle handle) { return Free<Reference>(handle); }
bool HandleTable::FreeString(ASZString handle) { return Free<std::string>(handle); }

bool HandleTable::IsHostOwned(const void* handle) const {
    auto found = live_.find(reinterpret_cast<uintptr_t>(handle));
    return found != live_.end() && found->second.owner == Owner::host;
}

void HandleTable::TakeOver(ActionDescriptorHandle handle) {
    auto found = live_.find(reinterpret_cast<uintptr_t>(handle));
    if (found != live_.end()) found->second.owner = Owner::host;
}

int HandleTable::LiveCount(Owner owner) const {
    int count = 0;
    for (const auto& entry : live_) count += entry.second.owner == owner ? 1 : 0;
    return count;
}

std::vector<std::string> HandleTable::DescribeLive(Owner owner) const {
    std::vector<std::string> lines;
    for (const auto& [value, entry] : live_) {
        if (entry.owner != owner) continue;
        std::ostringstream line;
        line << std::hex << "0x" << value << std::dec;
        if (const Descriptor* descriptor = std::get_if<Descriptor>(&entry.object)) {
            line << " descriptor with " << descriptor->Count() << " keys";
        } else if (const Reference* reference = std::get_if<Reference>(&entry.object)) {
            line << " reference with " << reference->size() << " forms";
        } else {
            line << " string \"" << std::get<std::string>(entry.object) << "\"";
        }
        lines.push_back(line.str());
    }
    return lines;
}

}  // namespace standin
