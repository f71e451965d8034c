// The host's reference: the chain of forms that addresses an object. The
// only object this host can address is the target document.
#pragma once

#include <cstdint>
#include <vector>

namespace standin {

struct ReferenceForm {
    uint32_t desiredClass;
    uint32_t type;
    uint32_t value;
};

using Reference = std::vector<ReferenceForm>;

// True for exactly one enumerated form ('Dcmn', 'Ordn', 'Trgt').
bool AddressesTargetDocument(const Reference& reference);

}  // namespace standin
