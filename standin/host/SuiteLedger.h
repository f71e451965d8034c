// Counts the suites a plug-in holds: every AcquireSuite adds one holding of
// (name, version), every ReleaseSuite gives one back.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace standin {

class SuiteLedger {
public:
    void Acquired(const std::string& name, int32_t version);

    // Gives one holding back. False, and nothing changes, when (name,
    // version) is not held.
    bool Released(const std::string& name, int32_t version);

    // Holdings not yet given back, over every suite.
    int Outstanding() const;

    // Holdings of one suite version.
    int Outstanding(const std::string& name, int32_t version) const;

private:
    std::map<std::pair<std::string, int32_t>, int> held_;
};

}  // namespace standin
