#include "host/SuiteHolders.h"

namespace {
constexpr const char* kActionListSuiteName = "df135116-c769-11d0-8079-00c04fd7ec47";
constexpr const char* kBasicActionControlSuiteName = "3eb7c480-8797-11d1-8da7-00c04fd5f7ee";
constexpr const char* kRegistrySuiteName = "61e608b0-40fd-11d1-8da3-00c04fd5f7ee";
}  // namespace

// Defined in table order in one translation unit: construction follows this
// order, and so static destruction at unload releases holder 30 first.
AutoSuite<ActionDescriptorSuite> sPSActionDescriptor(kActionDescriptorSuiteName, kActionDescriptorSuiteVersion);
AutoSuite<OpaqueSuiteTable> sPSActionDescriptor3(kActionDescriptorSuiteName, 3);
AutoSuite<OpaqueSuiteTable> sPSActionDescriptor2(kActionDescriptorSuiteName, 2);
AutoSuite<ActionControlSuite> sPSActionControl(kActionControlSuiteName, kActionControlSuiteVersion);
AutoSuite<OpaqueSuiteTable> sPSActionControl4(kActionControlSuiteName, 4);
AutoSuite<OpaqueSuiteTable> sPSActionControlOld(kActionControlSuiteName, 3);
AutoSuite<OpaqueSuiteTable> sPSBasicActionControl(kBasicActionControlSuiteName, 3);
AutoSuite<OpaqueSuiteTable> sPSBasicActionControlOld(kBasicActionControlSuiteName, 2);
AutoSuite<ActionReferenceSuite> sPSActionReference(kActionReferenceSuiteName, kActionReferenceSuiteVersion);
AutoSuite<OpaqueSuiteTable> sPSActionReferenceOld(kActionReferenceSuiteName, 2);
AutoSuite<OpaqueSuiteTable> sPSActionList(kActionListSuiteName, 3);
AutoSuite<OpaqueSuiteTable> sPSActionList2(kActionListSuiteName, 2);
AutoSuite<OpaqueSuiteTable> sPSActionList1(kActionListSuiteName, 1);
AutoSuite<OpaqueSuiteTable> sPSRegistry(kRegistrySuiteName, 1);
AutoSuite<UIHooksSuite> sPSUIHooks(kUIHooksSuiteName, kUIHooksSuiteVersion);
AutoSuite<OpaqueSuiteTable> sPSHandle("Photoshop Handle Suite for Plug-ins", 2);
AutoSuite<OpaqueSuiteTable> sASZString("AS ZString Suite", 1);
AutoSuite<OpaqueSuiteTable> sASZString2("AS ZString Suite", 2);
AutoSuite<OpaqueSuiteTable> sSPAccess("SP Access Suite", 3);
AutoSuite<GetFileListSuite> sPSFileList(kGetFileListSuiteName, kGetFileListSuiteVersion);
AutoSuite<OpaqueSuiteTable> sPSBuffer("Photoshop Buffer Suite for Plug-ins", 1);
AutoSuite<OpaqueSuiteTable> sPSBuffer64("Photoshop Buffer Suite for Plug-ins", 2);
AutoSuite<OpaqueSuiteTable> sPSBufferProcs("Photoshop Buffer Procs for Plug-ins", 2);
AutoSuite<OpaqueSuiteTable> sPSChannelProcs("Photoshop ChannelPorts Suite for Plug-ins", 3);
AutoSuite<OpaqueSuiteTable> sSPRuntime("SP Runtime Suite", 5);
AutoSuite<OpaqueSuiteTable> sPSProperty("Photoshop Property Suite for Plug-ins", 1);
AutoSuite<OpaqueSuiteTable> sPSAlias("Photoshop Alias Utility Suite", 2);
AutoSuite<OpaqueSuiteTable> sPSResource("Photoshop Resource Suite for Plug-ins", 3);
AutoSuite<OpaqueSuiteTable> sScripting("JavaScript Scripting Suite", 3);
AutoSuite<OpaqueSuiteTable> sUXP("Photoshop UXP Suite for Plug-ins", 1);

void PIUSuitesRelease() {
    AutoSuiteBase* const holders[] = {
        &sPSActionDescriptor, &sPSActionDescriptor3, &sPSActionDescriptor2, &sPSActionControl,
        &sPSActionControl4,   &sPSActionControlOld,  &sPSBasicActionControl, &sPSBasicActionControlOld,
        &sPSActionReference,  &sPSActionReferenceOld, &sPSActionList,        &sPSActionList2,
        &sPSActionList1,      &sPSRegistry,          &sPSUIHooks,           &sPSHandle,
        &sASZString,          &sASZString2,          &sSPAccess,            &sPSFileList,
        &sPSBuffer,           &sPSBuffer64,          &sPSBufferProcs,       &sPSChannelProcs,
        &sSPRuntime,          &sPSProperty,          &sPSAlias,             &sPSResource,
        &sScripting,          &sUXP,
    };
    static_assert(sizeof(holders) / sizeof(holders[0]) == 30, "every holder is released");
    for (AutoSuiteBase* holder : holders) holder->Release();
}
