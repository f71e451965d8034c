// The result codes of the stand-in host. Each refusal has its own code so
// that a test can tell them apart; all fit the 16-bit results of the action
// suites.
#pragma once

#include <cstdint>

namespace standin {

// A value that is out of range, not finite, or a null out-pointer.
constexpr int32_t kBadParameter = -50;
// A document would exceed the host's memory budget.
constexpr int32_t kNotEnoughMemory = -108;
// A key holds a value of another type than the one asked for.
constexpr int32_t kWrongType = -1700;
// A handle that the host never made, already freed, or of another kind.
constexpr int32_t kUnknownHandle = -1701;
// An event (or string ID) the host has no handler for.
constexpr int32_t kEventNotHandled = -1708;
// An event's descriptor lacks a key the event requires.
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
// A request the host cannot serve in its current state, such as a nested
// history block or a plug-in running itself again.
constexpr int32_t kBusy = -30005;

}  // namespace standin
