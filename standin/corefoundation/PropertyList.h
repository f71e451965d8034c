// Reading one string entry of an XML property list.
#pragma once

#include <optional>
#include <string>

namespace cfstandin {

// The text of the <string> element that follows <key>key</key> in the XML
// property list at path, with the five predefined XML entities decoded.
// Nothing when the file cannot be read or has no such string entry.
std::optional<std::string> ReadPropertyListString(const std::string& path, const std::string& key);

// The same, from the property list's text.
std::optional<std::string> FindPropertyListString(const std::string& xml, const std::string& key);

}  // namespace cfstandin
