// What the host saw of one run, kept as values where it happens: the
// history block and what it came to, every event played, and why the
// scratch space ran out if it did. A program judges the run from these.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/HostTypes.h"
#include "standin/host/Descriptor.h"

namespace standin {

// One event played, in order, with its outcome.
struct PlayedEvent {
    DescriptorEventID event;
    std::string name;  // "CnvS", "ImgS", or the string ID it is registered under
    Descriptor arguments;
    PlayDialogOptions options;
    int32_t result;
};

struct RunRecord {
    // Set once a history block ran: what its callback (and a filter still
    // deferred at its end) came to.
    std::optional<int32_t> historyResult;
    // In the order they finished: a replayed automation event comes after
    // the events it played.
    std::vector<PlayedEvent> playedEvents;
    // Why a scratch file could not be had, when that made an event fail.
    std::string scratchFailure;
};

}  // namespace standin
