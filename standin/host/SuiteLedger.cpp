#include "standin/host/SuiteLedger.h"

namespace standin {

void SuiteLedger::Acquired(const std::string& name, int32_t version) { ++held_[{name, version}]; }

bool SuiteLedger::Released(const std::string& name, int32_t version) {
    auto found = held_.find({name, version});
    if (found == held_.end()) return false;
    if (--found->second == 0) held_.erase(found);
    return true;
}

int SuiteLedger::Outstanding() const {
    int total = 0;
    for (const auto& entry : held_) total += entry.second;
    return total;
}

int SuiteLedger::Outstanding(const std::string& name, int32_t version) const {
    auto found = held_.find({name, version});
    return found == held_.end() ? 0 : found->second;
}

}  // namespace standin
