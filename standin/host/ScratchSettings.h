// Where large images keep their pixels. Below the memory budget an image's
// pixels live in ordinary memory; a pixel buffer that would take the
// process's in-memory pixels past it lives in a scratch file instead, mapped
// into memory, so the kernel pages it to disk rather than the process
// growing without bound. Process-wide, like the host it configures.
//
// The budget comes from DECIMORA_MEMORY (a size such as 512M or 8G) or
// defaults to a quarter of physical memory; the scratch folder from
// DECIMORA_SCRATCH, else $TMPDIR, else /tmp. Programs may set both.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace standin {

constexpr char kMemoryBudgetVariable[] = "DECIMORA_MEMORY";
constexpr char kScratchFolderVariable[] = "DECIMORA_SCRATCH";

struct ScratchSettings {
    uint64_t memoryBudget = 0;  // bytes of pixels kept in ordinary memory
    std::string folder;         // where scratch files are made
};

// A size in bytes: whole digits with an optional K, M, G or T (powers of
// 1024); nothing for anything else or for a size that does not fit 64 bits.
std::optional<uint64_t> ParseByteSize(const std::string& text);

// "NAME: expected a size in bytes ... not "TEXT"": the message for a size
// ParseByteSize refused.
std::string ByteSizeRefusal(const std::string& name, const std::string& text);

// "1.5 GiB", "512 MiB", "12 KiB", "7 bytes": for messages.
std::string ByteSizeText(uint64_t bytes);

// From the environment, as described above. A malformed DECIMORA_MEMORY is
// ignored here; programs that want to refuse it check it with ParseByteSize.
ScratchSettings DefaultScratchSettings();

// The settings in force, DefaultScratchSettings() until set.
ScratchSettings CurrentScratchSettings();
void SetScratchSettings(const ScratchSettings& settings);

// Bytes free for an unprivileged writer in `folder`, or nothing when the
// folder cannot be examined.
std::optional<uint64_t> FreeScratchSpace(const std::string& folder);

}  // namespace standin
