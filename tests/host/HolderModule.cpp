// A module that holds its own copy of the 30 suite holders, to show what they
// do when the module is unloaded.
#include "host/SuiteHolders.h"

extern "C" __attribute__((visibility("default"))) void AcquireEveryHolder(SPBasicSuite* basic) {
    sSPBasic = basic;
    (void)sPSActionDescriptor.operator->();
    (void)sPSActionDescriptor3.operator->();
    (void)sPSActionDescriptor2.operator->();
    (void)sPSActionControl.operator->();
    (void)sPSActionControl4.operator->();
    (void)sPSActionControlOld.operator->();
    (void)sPSBasicActionControl.operator->();
    (void)sPSBasicActionControlOld.operator->();
    (void)sPSActionReference.operator->();
    (void)sPSActionReferenceOld.operator->();
    (void)sPSActionList.operator->();
    (void)sPSActionList2.operator->();
    (void)sPSActionList1.operator->();
    (void)sPSRegistry.operator->();
    (void)sPSUIHooks.operator->();
    (void)sPSHandle.operator->();
    (void)sASZString.operator->();
    (void)sASZString2.operator->();
    (void)sSPAccess.operator->();
    (void)sPSFileList.operator->();
    (void)sPSBuffer.operator->();
    (void)sPSBuffer64.operator->();
    (void)sPSBufferProcs.operator->();
    (void)sPSChannelProcs.operator->();
    (void)sSPRuntime.operator->();
    (void)sPSProperty.operator->();
    (void)sPSAlias.operator->();
    (void)sPSResource.operator->();
    (void)sScripting.operator->();
    (void)sUXP.operator->();
}

extern "C" __attribute__((visibility("default"))) void ReleaseEveryHolder() { PIUSuitesRelease(); }
