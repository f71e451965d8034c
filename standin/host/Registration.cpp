#include "standin/host/Registration.h"

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

namespace standin {
namespace {

constexpr size_t kMaxValueLength = 1024;

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Tabs are allowed; every other control character (and NUL) is not.
bool HasControlCharacter(const std::string& text) {
    for (unsigned char c : text) {
        if ((c < 0x20 && c != '\t') || c == 0x7F) return true;
    }
    return false;
}

// "'abcd'" with four printable ASCII characters.
bool ParseCode(const std::string& text, uint32_t* code) {
    if (text.size() != 6 || text.front() != '\'' || text.back() != '\'') return false;
    uint32_t value = 0;
    for (size_t i = 1; i <= 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c > 0x7E) return false;
        value = (value << 8) | c;
    }
    *code = value;
    return true;
}

bool IsIdentifier(const std::string& text) {
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    for (unsigned char c : text) {
        if (!std::isalnum(c) && c != '_') return false;
    }
    return true;
}

// A plain file name inside the bundle: no folders, no way out of it.
bool IsModuleFileName(const std::string& text) {
    return !text.empty() && text[0] != '.' && text.find('/') == std::string::npos &&
           text.find('\\') == std::string::npos;
}

bool ParseParameter(const std::string& value, RegisteredParameter* parameter) {
    static const std::set<std::string> kTypes = {"integer", "float", "unitfloat", "boolean", "enumerated", "string"};
    if (value.size() < 6 || !ParseCode(value.substr(0, 6), &parameter->key)) return false;
    std::istringstream rest(value.substr(6));
    std::string type;
    rest >> type;
    std::string name;
    std::getline(rest, name);
    parameter->type = type;
    parameter->name = Trim(name);
    return kTypes.count(type) != 0 && !parameter->name.empty();
}

class Parser {
public:
    bool Line(size_t number, const std::string& rawLine) {
        lineNumber_ = number;
        std::string line = rawLine;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (HasControlCharacter(line)) return Fail("control character");
        line = Trim(line);
        if (line.empty() || line[0] == '#') return true;
        const size_t equals = line.find('=');
        if (equals == std::string::npos) return Fail("expected \"key = value\"");
        const std::string key = Trim(line.substr(0, equals));
        const std::string value = Trim(line.substr(equals + 1));
        if (value.empty()) return Fail("empty value for '" + key + "'");
        if (value.size() > kMaxValueLength) return Fail("value of '" + key + "' is too long");
        if (key != "parameter" && !seen_.insert(key).second) return Fail("'" + key + "' given twice");
        return Value(key, value);
    }

    bool Finish(Registration* registration) {
        lineNumber_ = 0;
        for (const char* key : {"kind", "module", "entry", "menu"}) {
            if (!seen_.count(key)) return Fail(std::string("missing '") + key + "'");
        }
        if (result_.kind == PluginKind::automation && !result_.eventId) {
            return Fail("an automation plug-in needs 'event.id'");
        }
        if (result_.kind == PluginKind::filter && result_.eventString.empty()) {
            return Fail("a filter plug-in needs 'event.string'");
        }
        if (result_.kind != PluginKind::filter && result_.filterSamples) {
            return Fail("only a filter plug-in can take 'filter.samples'");
        }
        *registration = result_;
        return true;
    }

    const std::string& Error() const { return error_; }

private:
    bool Value(const std::string& key, const std::string& value) {
        if (key == "kind") {
            if (value == "automation") {
                result_.kind = PluginKind::automation;
            } else if (value == "filter") {
                result_.kind = PluginKind::filter;
            } else {
                return Fail("unknown kind '" + value + "'");
            }
        } else if (key == "module") {
            if (!IsModuleFileName(value)) return Fail("module must be a plain file name");
            result_.module = value;
        } else if (key == "entry") {
            if (!IsIdentifier(value)) return Fail("entry must be a symbol name");
            result_.entry = value;
        } else if (key == "menu") {
            result_.menu = value;
        } else if (key == "event.id") {
            uint32_t code = 0;
            if (!ParseCode(value, &code)) return Fail("event.id must be a four-character code in single quotes");
            result_.eventId = code;
        } else if (key == "event.string") {
            result_.eventString = value;
        } else if (key == "event.name") {
            result_.eventName = value;
        } else if (key == "event.description") {
            result_.eventDescription = value;
        } else if (key == "filter.samples") {
            if (value != "yes" && value != "no") return Fail("filter.samples must be yes or no");
            result_.filterSamples = value == "yes";
        } else if (key == "parameter") {
            RegisteredParameter parameter;
            if (!ParseParameter(value, &parameter)) return Fail("parameter must read '<code>' <type> <name>");
            result_.parameters.push_back(parameter);
        } else {
            return Fail("unknown key '" + key + "'");
        }
        return true;
    }

    bool Fail(const std::string& message) {
        error_ = lineNumber_ > 0 ? "line " + std::to_string(lineNumber_) + ": " + message : message;
        return false;
    }

    Registration result_;
    std::set<std::string> seen_;
    size_t lineNumber_ = 0;
    std::string error_;
};

}  // namespace

bool ParseRegistration(const std::string& text, Registration* registration, std::string* error) {
    if (text.size() > kMaxRegistrationBytes) {
        *error = "registration file is larger than " + std::to_string(kMaxRegistrationBytes) + " bytes";
        return false;
    }
    Parser parser;
    size_t number = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (!parser.Line(++number, text.substr(start, end - start))) {
            *error = parser.Error();
            return false;
        }
        start = end + 1;
    }
    if (!parser.Finish(registration)) {
        *error = parser.Error();
        return false;
    }
    return true;
}

bool ReadRegistrationFile(const std::string& path, Registration* registration, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    std::string text;
    text.resize(kMaxRegistrationBytes + 1);
    file.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(file.gcount()));
    if (!ParseRegistration(text, registration, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}

}  // namespace standin
