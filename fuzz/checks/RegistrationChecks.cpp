#include "fuzz/checks/RegistrationChecks.h"

#include <cctype>
#include <string>

#include "fuzz/checks/ContractViolation.h"
#include "standin/host/Registration.h"

namespace fuzzing {
namespace {

using standin::PluginKind;
using standin::Registration;
using standin::RegisteredParameter;

constexpr size_t kMaxValueLength = 1024;

bool SameParameters(const Registration& a, const Registration& b) {
    if (a.parameters.size() != b.parameters.size()) return false;
    for (size_t i = 0; i < a.parameters.size(); ++i) {
        const RegisteredParameter& x = a.parameters[i];
        const RegisteredParameter& y = b.parameters[i];
        if (x.key != y.key || x.type != y.type || x.name != y.name) return false;
    }
    return true;
}

bool Same(const Registration& a, const Registration& b) {
    return a.kind == b.kind && a.module == b.module && a.entry == b.entry && a.menu == b.menu &&
           a.eventId == b.eventId && a.eventString == b.eventString && a.eventName == b.eventName &&
           a.eventDescription == b.eventDescription && SameParameters(a, b);
}

// A registration no parse produces, to show that a refused parse leaves it alone.
Registration Sentinel() {
    Registration sentinel;
    sentinel.kind = PluginKind::filter;
    sentinel.module = "sentinel module";
    sentinel.menu = "\x01";
    sentinel.eventId = 0xFFFFFFFF;
    sentinel.parameters.push_back({0, "none", ""});
    return sentinel;
}

std::string CodeText(uint32_t code) {
    std::string text = "'";
    for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((code >> shift) & 0xFF);
    return text + "'";
}

// The registration written out in the file format.
std::string Written(const Registration& registration) {
    std::string text = std::string("kind = ") + (registration.kind == PluginKind::filter ? "filter" : "automation") + "\n";
    text += "module = " + registration.module + "\n";
    text += "entry = " + registration.entry + "\n";
    text += "menu = " + registration.menu + "\n";
    if (registration.eventId) text += "event.id = " + CodeText(*registration.eventId) + "\n";
    if (!registration.eventString.empty()) text += "event.string = " + registration.eventString + "\n";
    if (!registration.eventName.empty()) text += "event.name = " + registration.eventName + "\n";
    if (!registration.eventDescription.empty()) text += "event.description = " + registration.eventDescription + "\n";
    for (const RegisteredParameter& parameter : registration.parameters) {
        text += "parameter = " + CodeText(parameter.key) + " " + parameter.type + " " + parameter.name + "\n";
    }
    return text;
}

// Not empty, no blanks around it, no control character but tab, not too long.
bool IsCleanValue(const std::string& value) {
    if (value.empty() || value.size() > kMaxValueLength) return false;
    if (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' || value.back() == '\t') return false;
    for (unsigned char c : value) {
        if ((c < 0x20 && c != '\t') || c == 0x7F) return false;
    }
    return true;
}

bool IsOptionalCleanValue(const std::string& value) { return value.empty() || IsCleanValue(value); }

bool IsPrintableCode(uint32_t code) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        const uint32_t c = (code >> shift) & 0xFF;
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

void CheckAccepted(const Registration& registration) {
    Expect(IsCleanValue(registration.module) && IsCleanValue(registration.entry) && IsCleanValue(registration.menu),
           "accepted registration: module, entry and menu are present and clean");
    Expect(registration.module[0] != '.' && registration.module.find_first_of("/\\") == std::string::npos,
           "accepted registration: the module is a plain file name");
    Expect(!std::isdigit(static_cast<unsigned char>(registration.entry[0])) &&
               registration.entry.find_first_not_of(
                   "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") == std::string::npos,
           "accepted registration: the entry is a symbol name");
    Expect(registration.kind == PluginKind::filter || registration.eventId.has_value(),
           "accepted registration: an automation plug-in has an event.id");
    Expect(registration.kind == PluginKind::automation || !registration.eventString.empty(),
           "accepted registration: a filter plug-in has an event.string");
    Expect(!registration.eventId || IsPrintableCode(*registration.eventId),
           "accepted registration: event.id is four printable characters");
    Expect(IsOptionalCleanValue(registration.eventString) && IsOptionalCleanValue(registration.eventName) &&
               IsOptionalCleanValue(registration.eventDescription),
           "accepted registration: event texts are clean");
    for (const RegisteredParameter& parameter : registration.parameters) {
        const std::string& type = parameter.type;
        Expect(type == "integer" || type == "float" || type == "unitfloat" || type == "boolean" ||
                   type == "enumerated" || type == "string",
               "accepted registration: a parameter has a known type");
        Expect(IsPrintableCode(parameter.key) && IsCleanValue(parameter.name),
               "accepted registration: a parameter has a printable key and a clean name");
    }
}

// Every "\n" as "\r\n".
std::string WithCarriageReturns(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\n') result += '\r';
        result += c;
    }
    return result;
}

}  // namespace

void CheckRegistration(const unsigned char* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Registration registration = Sentinel();
    std::string error;
    const bool accepted = standin::ParseRegistration(text, &registration, &error);

    if (!accepted) {
        Expect(!error.empty(), "refused registration: a message says why");
        Expect(Same(registration, Sentinel()), "refused registration: the result is left alone");
    } else {
        CheckAccepted(registration);
        Registration again;
        std::string againError;
        Expect(standin::ParseRegistration(Written(registration), &again, &againError) && Same(again, registration),
               "accepted registration: written out and read again, it is the same");
    }

    if (text.find('\r') == std::string::npos) {
        Registration crlf = Sentinel();
        std::string crlfError;
        const bool crlfAccepted = standin::ParseRegistration(WithCarriageReturns(text), &crlf, &crlfError);
        // The size limit counts bytes, so the longer text may be refused for that alone.
        if (WithCarriageReturns(text).size() <= standin::kMaxRegistrationBytes) {
            Expect(crlfAccepted == accepted && crlfError == error && Same(crlf, registration),
                   "registration: \"\\r\\n\" line ends read as \"\\n\" ones");
        }
    }
}

}  // namespace fuzzing
