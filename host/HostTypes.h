// Basic types shared by the plug-in and any host that loads it: result codes
// (named in HostResults.h), opaque handles and the identifiers of the action system.
#pragma once

#include <cstdint>

#include "host/FourCharCodes.h"
#include "host/HostResults.h"

extern "C" {

// A host result code: 0 is success, -128 is a cancel by the user.
using HostResult = int32_t;

// What the action suites (descriptor, reference, control) return. Widened to a
// HostResult with sign extension: see ToHostResult.
using ActionResult16 = int16_t;

// The boolean of the basic suite's comparison and of HasKey.
using HostBoolean = unsigned char;

// Identifiers of the action system; all of them are four-character codes
// except event ids obtained from StringIDToTypeID, which are host-chosen.
using DescriptorKeyID = uint32_t;
using DescriptorTypeID = uint32_t;
using DescriptorClassID = uint32_t;
using DescriptorEnumTypeID = uint32_t;
using DescriptorEnumID = uint32_t;
using DescriptorUnitID = uint32_t;
using DescriptorEventID = uint32_t;

// How Play treats an event's dialog.
using PlayDialogOptions = int32_t;

// Opaque host handles. Whoever makes one owns it until it frees it or hands
// it over (a descriptor written back into the action parameters belongs to
// the host from then on).
struct ActionDescriptorOpaque;
struct ActionReferenceOpaque;
struct ASZStringOpaque;
using ActionDescriptorHandle = ActionDescriptorOpaque*;
using ActionReferenceHandle = ActionReferenceOpaque*;
using ASZString = ASZStringOpaque*;

// The host's record of one loaded plug-in. Opaque to the plug-in.
struct SPPlugin;

// The history callback handed to SuspendHistory: called once with `data`,
// its non-zero result makes the host discard the history state.
using HistoryCallback = int32_t (*)(void* data);

}  // extern "C"

namespace host {

// Play without showing the event's dialog.
constexpr PlayDialogOptions kDisplayNoDialogs = 2;

// An action suite's 16-bit result as a 32-bit result code, sign-extended so
// that a negative host code stays negative.
constexpr HostResult ToHostResult(ActionResult16 result) { return static_cast<HostResult>(result); }

static_assert(ToHostResult(static_cast<ActionResult16>(-128)) == -128, "sign extension");
static_assert(ToHostResult(static_cast<ActionResult16>(0x7FFF)) == 0x7FFF, "positive results unchanged");

}  // namespace host
