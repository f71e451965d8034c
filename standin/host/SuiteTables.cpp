#include "standin/host/SuiteTables.h"

#include <cstdio>
#include <cstring>

#include "host/SuiteHolders.h"

namespace standin {

const char* SuiteIdName(SuiteId suite) {
    switch (suite) {
        case SuiteId::descriptor: return "action descriptor";
        case SuiteId::reference: return "action reference";
        case SuiteId::control: return "action control";
        case SuiteId::uiHooks: return "UI hooks";
        case SuiteId::fileList: return "GetFileList";
    }
    return "unknown";
}

namespace {
std::string HandleText(const void* handle) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", handle);
    return text;
}
}  // namespace

Descriptor* LiveDescriptor(Host& host, const char* operation, ActionDescriptorHandle handle) {
    Descriptor* descriptor = host.Handles().FindDescriptor(handle);
    if (descriptor == nullptr) {
        host.RecordError(std::string(operation) + ": handle " + HandleText(handle) + " is not a live descriptor");
    }
    return descriptor;
}

Reference* LiveReference(Host& host, const char* operation, ActionReferenceHandle handle) {
    Reference* reference = host.Handles().FindReference(handle);
    if (reference == nullptr) {
        host.RecordError(std::string(operation) + ": handle " + HandleText(handle) + " is not a live reference");
    }
    return reference;
}

const std::string* LiveString(Host& host, const char* operation, ASZString handle) {
    const std::string* text = host.Handles().FindString(handle);
    if (text == nullptr) {
        host.RecordError(std::string(operation) + ": handle " + HandleText(handle) + " is not a live string");
    }
    return text;
}

const void* SuiteTable(const char* name, int32_t version) {
    struct Served {
        const char* name;
        int32_t version;
        const void* table;
    };
    const Served served[] = {
        {kActionDescriptorSuiteName, kActionDescriptorSuiteVersion, DescriptorSuiteTable()},
        {kActionControlSuiteName, kActionControlSuiteVersion, ControlSuiteTable()},
        {kActionReferenceSuiteName, kActionReferenceSuiteVersion, ReferenceSuiteTable()},
        {kUIHooksSuiteName, kUIHooksSuiteVersion, UIHooksSuiteTable()},
        {kGetFileListSuiteName, kGetFileListSuiteVersion, FileListSuiteTable()},
    };
    for (const Served& entry : served) {
        if (std::strcmp(entry.name, name) == 0 && entry.version == version) return entry.table;
    }
    return nullptr;
}

}  // namespace standin
