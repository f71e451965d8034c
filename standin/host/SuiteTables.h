// The function tables the host serves, and the guard every suite function
// runs its body in. The tables are static: their functions find the live
// host through Host::Current().
#pragma once

#include <cstdint>
#include <new>
#include <string>
#include <utility>

#include "host/ActionControlSuite.h"
#include "host/ActionDescriptorSuite.h"
#include "host/ActionReferenceSuite.h"
#include "host/BasicSuite.h"
#include "host/GetFileListSuite.h"
#include "host/UIHooksSuite.h"
#include "standin/host/Host.h"
#include "host/HostResults.h"

namespace standin {

// The basic suite every message carries.
SPBasicSuite* BasicSuiteTable();

// The tables of the served suites, one per file.
const ActionDescriptorSuite* DescriptorSuiteTable();
const ActionReferenceSuite* ReferenceSuiteTable();
const ActionControlSuite* ControlSuiteTable();
const UIHooksSuite* UIHooksSuiteTable();
const GetFileListSuite* FileListSuiteTable();

// The table of suite `name` at `version`, or null when the host does not
// serve that pair.
const void* SuiteTable(const char* name, int32_t version);

// Runs `body(host)` for a suite function: the one place where exceptions
// stop before they could reach the plug-in. Without a live host (a plug-in
// releasing its suites after the host is gone) the call is answered with
// host::kNoHost.
template <class Body>
int32_t RunSuiteFunction(const char* operation, Body&& body) noexcept {
    Host* host = Host::Current();
    if (host == nullptr) return host::kNoHost;
    try {
        return body(*host);
    } catch (const std::bad_alloc& error) {
        return host->OutOfMemory(error);
    } catch (...) {
        try {
            host->RecordError(std::string(operation) + ": internal failure");
        } catch (...) {
        }
        return host::kBadParameter;
    }
}

// The 16-bit result of an action suite function. A code that does not fit
// is answered host::kBadParameter, so that a failure never reads as success.
inline ActionResult16 ToActionResult(int32_t code) {
    if (code < INT16_MIN || code > INT16_MAX) return static_cast<ActionResult16>(host::kBadParameter);
    return static_cast<ActionResult16>(code);
}

// RunSuiteFunction for the action suites, with their 16-bit result.
template <class Body>
ActionResult16 RunActionFunction(const char* operation, Body&& body) noexcept {
    return ToActionResult(RunSuiteFunction(operation, std::forward<Body>(body)));
}

// Records a misuse by the plug-in and returns `code`.
inline int32_t Misuse(Host& host, const std::string& message, int32_t code = host::kBadParameter) {
    host.RecordError(message);
    return code;
}

// The live object behind a handle the plug-in passed, or null after
// recording the misuse ("descriptor.PutFloat: handle 0x... is not a live
// descriptor").
Descriptor* LiveDescriptor(Host& host, const char* operation, ActionDescriptorHandle handle);
Reference* LiveReference(Host& host, const char* operation, ActionReferenceHandle handle);
const std::string* LiveString(Host& host, const char* operation, ASZString handle);

// The functions that fill the reserved slots of the tables: each records
// which slot of which suite was called.
enum class SuiteId { descriptor, reference, control, uiHooks, fileList };

const char* SuiteIdName(SuiteId suite);

template <SuiteId suite, int position>
void UnimplementedSlot() {
    Host* host = Host::Current();
    if (host == nullptr) return;
    try {
        host->RecordUnimplementedCall(std::string(SuiteIdName(suite)) + " suite, position " + std::to_string(position));
    } catch (...) {
    }
}

}  // namespace standin
