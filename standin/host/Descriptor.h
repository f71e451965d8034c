// The host's descriptor: an ordered record of typed values under
// four-character keys. Putting a key again replaces its value in place.
//
// Typed reads are strict: an absent key answers host::kNoSuchKey, a key of another
// type host::kWrongType, and in both cases the out values are left as they were.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace standin {

struct UnitFloat {
    uint32_t unit;
    double value;
    bool operator==(const UnitFloat& other) const { return unit == other.unit && value == other.value; }
};

struct Enumerated {
    uint32_t type;
    uint32_t value;
    bool operator==(const Enumerated& other) const { return type == other.type && value == other.value; }
};

using DescriptorValue = std::variant<int32_t, double, UnitFloat, Enumerated>;

class Descriptor {
public:
    Descriptor& PutInteger(uint32_t key, int32_t value);
    Descriptor& PutFloat(uint32_t key, double value);
    Descriptor& PutUnitFloat(uint32_t key, uint32_t unit, double value);
    Descriptor& PutEnumerated(uint32_t key, uint32_t type, uint32_t value);

    bool HasKey(uint32_t key) const;
    int32_t GetInteger(uint32_t key, int32_t* value) const;
    int32_t GetFloat(uint32_t key, double* value) const;
    // Reports the stored unit in `*unit`; values are never converted.
    int32_t GetUnitFloat(uint32_t key, uint32_t* unit, double* value) const;
    int32_t GetEnumerated(uint32_t key, uint32_t* type, uint32_t* value) const;

    size_t Count() const { return entries_.size(); }
    const std::vector<std::pair<uint32_t, DescriptorValue>>& Entries() const { return entries_; }

    // One line per entry, e.g. "'Wdth' = 720 '#Rlt'", for messages and the CLI.
    std::string Describe() const;

    bool operator==(const Descriptor& other) const { return entries_ == other.entries_; }
    bool operator!=(const Descriptor& other) const { return !(*this == other); }

private:
    Descriptor& Put(uint32_t key, DescriptorValue value);
    const DescriptorValue* Find(uint32_t key) const;

    std::vector<std::pair<uint32_t, DescriptorValue>> entries_;
};

// The code as its four characters when they are printable, else in
// hexadecimal: "CnvS", "0x00010001".
std::string CodeText(uint32_t code);

// The same, with printable codes in single quotes: "'CnvS'", "0x00010001".
std::string DescribeCode(uint32_t code);

}  // namespace standin
