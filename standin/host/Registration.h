// A plug-in's registration file (Resources/Registration.txt): what a host
// reads to know a bundle without loading it.
//
// Format: one "key = value" per line; blank lines and lines whose first
// non-blank character is '#' are ignored; four-character codes stand in
// single quotes. Keys:
//   kind              automation | filter                      (required)
//   module            file name of the module in the bundle     (required)
//   entry             the entry point's symbol name             (required)
//   menu              the menu name                             (required)
//   event.id          '<code>'             (required for automation)
//   event.string      the event's string ID  (required for filter)
//   event.name, event.description           free text
//   filter.samples    yes | no (default no): the filter can check a request
//                     without filtering and write only sampled pixels
//                     (FilterPlugin.h)
//   parameter         '<code>' <type> <name>, repeatable; type is one of
//                     integer, float, unitfloat, boolean, enumerated, string
// Every other key, a repeated key (but parameter), an empty value, a control
// character or an oversized file is refused with a message naming the line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

enum class PluginKind { automation, filter };

struct RegisteredParameter {
    uint32_t key;
    std::string type;
    std::string name;
};

struct Registration {
    PluginKind kind = PluginKind::automation;
    std::string module;
    std::string entry;
    std::string menu;
    std::optional<uint32_t> eventId;
    std::string eventString;
    std::string eventName;
    std::string eventDescription;
    std::vector<RegisteredParameter> parameters;
    bool filterSamples = false;
};

// The largest registration file accepted, in bytes.
constexpr size_t kMaxRegistrationBytes = 64 * 1024;

// Parses `text`. On failure returns false, sets `*error` ("line 3: unknown
// key 'foo'") and leaves `*registration` unchanged.
bool ParseRegistration(const std::string& text, Registration* registration, std::string* error);

// Reads and parses the file at `path`.
bool ReadRegistrationFile(const std::string& path, Registration* registration, std::string* error);

}  // namespace standin
