// The plug-in's 30 suite holders, declared in table order. Only five are
// used; the others exist so that the bundle's set of holders stays complete
// and are released at unload if anything ever acquired them.
#pragma once

#include "host/ActionControlSuite.h"
#include "host/ActionDescriptorSuite.h"
#include "host/ActionReferenceSuite.h"
#include "host/AutoSuite.h"
#include "host/GetFileListSuite.h"
#include "host/UIHooksSuite.h"

extern AutoSuite<ActionDescriptorSuite> sPSActionDescriptor;   //  1, version 5, used
extern AutoSuite<OpaqueSuiteTable> sPSActionDescriptor3;       //  2
extern AutoSuite<OpaqueSuiteTable> sPSActionDescriptor2;       //  3
extern AutoSuite<ActionControlSuite> sPSActionControl;         //  4, version 6, used
extern AutoSuite<OpaqueSuiteTable> sPSActionControl4;          //  5
extern AutoSuite<OpaqueSuiteTable> sPSActionControlOld;        //  6
extern AutoSuite<OpaqueSuiteTable> sPSBasicActionControl;      //  7
extern AutoSuite<OpaqueSuiteTable> sPSBasicActionControlOld;   //  8
extern AutoSuite<ActionReferenceSuite> sPSActionReference;     //  9, version 3, used
extern AutoSuite<OpaqueSuiteTable> sPSActionReferenceOld;      // 10
extern AutoSuite<OpaqueSuiteTable> sPSActionList;              // 11
extern AutoSuite<OpaqueSuiteTable> sPSActionList2;             // 12
extern AutoSuite<OpaqueSuiteTable> sPSActionList1;             // 13
extern AutoSuite<OpaqueSuiteTable> sPSRegistry;                // 14
extern AutoSuite<UIHooksSuite> sPSUIHooks;                     // 15, version 1, used
extern AutoSuite<OpaqueSuiteTable> sPSHandle;                  // 16
extern AutoSuite<OpaqueSuiteTable> sASZString;                 // 17
extern AutoSuite<OpaqueSuiteTable> sASZString2;                // 18
extern AutoSuite<OpaqueSuiteTable> sSPAccess;                  // 19
extern AutoSuite<GetFileListSuite> sPSFileList;                // 20, version 4, used
extern AutoSuite<OpaqueSuiteTable> sPSBuffer;                  // 21
extern AutoSuite<OpaqueSuiteTable> sPSBuffer64;                // 22
extern AutoSuite<OpaqueSuiteTable> sPSBufferProcs;             // 23
extern AutoSuite<OpaqueSuiteTable> sPSChannelProcs;            // 24
extern AutoSuite<OpaqueSuiteTable> sSPRuntime;                 // 25
extern AutoSuite<OpaqueSuiteTable> sPSProperty;                // 26
extern AutoSuite<OpaqueSuiteTable> sPSAlias;                   // 27
extern AutoSuite<OpaqueSuiteTable> sPSResource;                // 28
extern AutoSuite<OpaqueSuiteTable> sScripting;                 // 29
extern AutoSuite<OpaqueSuiteTable> sUXP;                       // 30

// The versions of the five suites the plug-in calls.
constexpr int32_t kActionDescriptorSuiteVersion = 5;
constexpr int32_t kActionControlSuiteVersion = 6;
constexpr int32_t kActionReferenceSuiteVersion = 3;
constexpr int32_t kUIHooksSuiteVersion = 1;
constexpr int32_t kGetFileListSuiteVersion = 4;

// Releases every holder, in table order. Exported for hosts and tests; the
// plug-in itself does not call it.
void PIUSuitesRelease();
