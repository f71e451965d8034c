// Every host result code the system uses, each named once: what the plug-in
// returns or expects, what the stand-in host answers its refusals with, and
// what a filter returns. 0 is success. All fit the 16-bit results of the
// action suites.
#pragma once

#include <cstdint>

#include "host/FourCharCodes.h"

namespace host {

// Success.
constexpr int32_t kNoError = 0;
// An unexpected failure inside a filter.
constexpr int32_t kInternalError = -1;
// A value out of range or not finite, a null out-pointer, or an image a filter cannot take.
constexpr int32_t kBadParameter = -50;
// Not enough memory or scratch space for the pixels asked for.
constexpr int32_t kNotEnoughMemory = -108;
// The user cancelled a dialog or a filter's work.
constexpr int32_t kUserCanceled = -128;
// A key holds a value of another type than the one asked for.
constexpr int32_t kWrongType = -1700;
// The action system found no descriptor where one was to be.
constexpr int32_t kDescriptorNotFound = -1701;
// A handle the host never made, already freed, or of another kind.
constexpr int32_t kUnknownHandle = -1704;
// An event (or string ID) the host has no handler for.
constexpr int32_t kEventNotHandled = -1708;
// A required parameter is missing from an event's descriptor, or a filter's is missing or out of range.
constexpr int32_t kMissingParameter = -1715;
// A reference addresses no document (there is no target document).
constexpr int32_t kNoTargetDocument = -1719;
// A descriptor has no value under the key asked for.
constexpr int32_t kNoSuchKey = -1728;
// AcquireSuite of a name or version the host does not serve.
constexpr int32_t kSuiteNotFound = -30001;
// ReleaseSuite of a suite that is not acquired.
constexpr int32_t kSuiteNotAcquired = -30002;
// A suite function called while no host is alive (after it was destroyed).
constexpr int32_t kNoHost = -30003;
// A plug-in's entry point let an exception escape.
constexpr int32_t kPluginThrew = -30004;
// A request the host cannot serve in its current state, such as a nested history block.
constexpr int32_t kBusy = -30005;
// A parameter the plug-in cannot use, or a failure that escaped to one of its boundaries ('Parm').
constexpr int32_t kParameterError = static_cast<int32_t>(fourcc::kParm);
// An exception the plug-in did not recognise, caught in its history callback ('fbar').
constexpr int32_t kUnknownExceptionError = static_cast<int32_t>(fourcc::kFbar);

}  // namespace host
