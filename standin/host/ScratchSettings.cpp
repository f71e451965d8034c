#include "standin/host/ScratchSettings.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace standin {
namespace {

constexpr uint64_t kFallbackBudget = uint64_t{1} << 30;

std::mutex settingsMutex;
std::optional<ScratchSettings> chosenSettings;

uint64_t QuarterOfPhysicalMemory() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return kFallbackBudget;
    return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 4;
}

std::string FolderFromEnvironment() {
    for (const char* variable : {kScratchFolderVariable, "TMPDIR"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return "/tmp";
}

}  // namespace

std::optional<uint64_t> ParseByteSize(const std::string& text) {
    uint64_t value = 0;
    size_t digits = 0;
    for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits) {
        const auto digit = static_cast<uint64_t>(text[digits] - '0');
        if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    if (digits == 0 || text.size() > digits + 1) return std::nullopt;
    if (digits == text.size()) return value;
    int shift = 0;
    switch (text[digits]) {
        case 'K': shift = 10; break;
        case 'M': shift = 20; break;
        case 'G': shift = 30; break;
        case 'T': shift = 40; break;
        default: return std::nullopt;
    }
    if (value > (UINT64_MAX >> shift)) return std::nullopt;
    return value << shift;
}

std::string ByteSizeRefusal(const std::string& name, const std::string& text) {
    return name + ": expected a size in bytes with an optional K, M, G or T, such as 512M, not \"" + text + "\"";
}

std::string ByteSizeText(uint64_t bytes) {
    const char* units[] = {"KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024) return std::to_string(bytes) + " bytes";
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 3) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 10.0 ? "%.1f %s" : "%.0f %s", value, units[unit]);
    return text;
}

ScratchSettings DefaultScratchSettings() {
    ScratchSettings settings;
    settings.memoryBudget = QuarterOfPhysicalMemory();
    const char* budget = std::getenv(kMemoryBudgetVariable);
    if (budget != nullptr) {
        if (const std::optional<uint64_t> bytes = ParseByteSize(budget)) settings.memoryBudget = *bytes;
    }
    settings.folder = FolderFromEnvironment();
    return settings;
}

ScratchSettings CurrentScratchSettings() {
    const std::lock_guard<std::mutex> lock(settingsMutex);
    if (!chosenSettings) chosenSettings = DefaultScratchSettings();
    return *chosenSettings;
}

void SetScratchSettings(const ScratchSettings& settings) {
    const std::lock_guard<std::mutex> lock(settingsMutex);
    chosenSettings = settings;
}

std::optional<uint64_t> FreeScratchSpace(const std::string& folder) {
    struct statvfs info {};
    if (statvfs(folder.c_str(), &info) != 0) return std::nullopt;
    return static_cast<uint64_t>(info.f_bavail) * static_cast<uint64_t>(info.f_frsize);
}

}  // namespace standin
