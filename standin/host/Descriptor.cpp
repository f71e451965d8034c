#include "standin/host/Descriptor.h"

#include <cstdio>
#include <sstream>

#include "host/HostResults.h"

namespace standin {

Descriptor& Descriptor::Put(uint32_t key, DescriptorValue value) {
    for (auto& entry : entries_) {
        if (entry.first == key) {
            entry.second = value;
            return *this;
        }
    }
    entries_.emplace_back(key, value);
    return *this;
}

Descriptor& Descriptor::PutInteger(uint32_t key, int32_t value) { return Put(key, value); }
Descriptor& Descriptor::PutFloat(uint32_t key, double value) { return Put(key, value); }
Descriptor& Descriptor::PutUnitFloat(uint32_t key, uint32_t unit, double value) {
    return Put(key, UnitFloat{unit, value});
}
Descriptor& Descriptor::PutEnumerated(uint32_t key, uint32_t type, uint32_t value) {
    return Put(key, Enumerated{type, value});
}

const DescriptorValue* Descriptor::Find(uint32_t key) const {
    for (const auto& entry : entries_) {
        if (entry.first == key) return &entry.second;
    }
    return nullptr;
}

bool Descriptor::HasKey(uint32_t key) const { return Find(key) != nullptr; }

namespace {
// The stored value of type T under `key`, or the code that refuses the read.
template <class T>
int32_t Typed(const DescriptorValue* found, const T** value) {
    if (found == nullptr) return host::kNoSuchKey;
    *value = std::get_if<T>(found);
    return *value == nullptr ? host::kWrongType : 0;
}
}  // namespace

int32_t Descriptor::GetInteger(uint32_t key, int32_t* value) const {
    const int32_t* stored = nullptr;
    if (int32_t code = Typed(Find(key), &stored)) return code;
    *value = *stored;
    return 0;
}

int32_t Descriptor::GetFloat(uint32_t key, double* value) const {
    const double* stored = nullptr;
    if (int32_t code = Typed(Find(key), &stored)) return code;
    *value = *stored;
    return 0;
}

int32_t Descriptor::GetUnitFloat(uint32_t key, uint32_t* unit, double* value) const {
    const UnitFloat* stored = nullptr;
    if (int32_t code = Typed(Find(key), &stored)) return code;
    *unit = stored->unit;
    *value = stored->value;
    return 0;
}

int32_t Descriptor::GetEnumerated(uint32_t key, uint32_t* type, uint32_t* value) const {
    const Enumerated* stored = nullptr;
    if (int32_t code = Typed(Find(key), &stored)) return code;
    *type = stored->type;
    *value = stored->value;
    return 0;
}

namespace {
bool IsPrintableCode(uint32_t code) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        const uint32_t c = (code >> shift) & 0xFF;
        if (c < 0x20 || c >= 0x7F) return false;
    }
    return true;
}
}  // namespace

std::string CodeText(uint32_t code) {
    if (IsPrintableCode(code)) {
        return std::string{static_cast<char>(code >> 24), static_cast<char>(code >> 16), static_cast<char>(code >> 8),
                           static_cast<char>(code)};
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
    return hex;
}

std::string DescribeCode(uint32_t code) { return IsPrintableCode(code) ? "'" + CodeText(code) + "'" : CodeText(code); }

std::string Descriptor::Describe() const {
    std::ostringstream out;
    for (const auto& [key, value] : entries_) {
        out << DescribeCode(key) << " = ";
        if (const int32_t* integer = std::get_if<int32_t>(&value)) {
            out << *integer;
        } else if (const double* real = std::get_if<double>(&value)) {
            out << *real;
        } else if (const UnitFloat* unitFloat = std::get_if<UnitFloat>(&value)) {
            out << unitFloat->value << " " << DescribeCode(unitFloat->unit);
        } else if (const Enumerated* enumerated = std::get_if<Enumerated>(&value)) {
            out << DescribeCode(enumerated->type) << " " << DescribeCode(enumerated->value);
        }
        out << "\n";
    }
    return out.str();
}

}  // namespace standin
