#include "standin/corefoundation/PropertyList.h"

#include <fstream>
#include <sstream>

namespace cfstandin {
namespace {

constexpr size_t kMaxPropertyListBytes = 1 << 20;

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::optional<std::string> DecodeEntities(const std::string& text) {
    static const struct {
        const char* entity;
        char character;
    } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string decoded;
    for (size_t i = 0; i < text.size();) {
        if (text[i] != '&') {
            decoded.push_back(text[i++]);
            continue;
        }
        bool known = false;
        for (const auto& entry : kEntities) {
            const std::string entity = entry.entity;
            if (text.compare(i, entity.size(), entity) == 0) {
                decoded.push_back(entry.character);
                i += entity.size();
                known = true;
                break;
            }
        }
        if (!known) return std::nullopt;
    }
    return decoded;
}

}  // namespace

std::optional<std::string> FindPropertyListString(const std::string& xml, const std::string& key) {
    const std::string keyElement = "<key>" + key + "</key>";
    const std::string open = "<string>";
    const std::string close = "</string>";
    for (size_t at = xml.find(keyElement); at != std::string::npos; at = xml.find(keyElement, at + 1)) {
        size_t value = at + keyElement.size();
        while (value < xml.size() && IsXmlSpace(xml[value])) ++value;
        if (xml.compare(value, open.size(), open) != 0) continue;
        value += open.size();
        const size_t end = xml.find(close, value);
        if (end == std::string::npos) return std::nullopt;
        return DecodeEntities(xml.substr(value, end - value));
    }
    return std::nullopt;
}

std::optional<std::string> ReadPropertyListString(const std::string& path, const std::string& key) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream contents;
    contents << file.rdbuf();
    const std::string xml = contents.str();
    if (xml.size() > kMaxPropertyListBytes) return std::nullopt;
    return FindPropertyListString(xml, key);
}

}  // namespace cfstandin
