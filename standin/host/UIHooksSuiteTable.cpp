// The UI hooks suite: the plug-in's menu name.
#include "standin/host/SuiteTables.h"

namespace standin {
namespace {

// The name is a host string: the host frees it when the run ends, and it is
// not the plug-in's to free.
int32_t GetPluginName(SPPlugin* plugin, ASZString* name) {
    return RunSuiteFunction("GetPluginName", [&](Host& host) -> int32_t {
        std::optional<int32_t> failure = host.BeginOperation("GetPluginName");
        if (name == nullptr) return Misuse(host, "GetPluginName: null out-pointer");
        *name = nullptr;
        if (failure) return *failure;
        Plugin* loaded = host.FindPlugin(plugin);
        if (loaded == nullptr) return Misuse(host, "GetPluginName: not a plug-in record the host handed out");
        *name = host.MakeRunString(loaded->MenuName());
        return 0;
    });
}

const UIHooksSuite uiHooksSuite = {
    UnimplementedSlot<SuiteId::uiHooks, 1>,
    UnimplementedSlot<SuiteId::uiHooks, 2>,
    UnimplementedSlot<SuiteId::uiHooks, 3>,
    UnimplementedSlot<SuiteId::uiHooks, 4>,
    UnimplementedSlot<SuiteId::uiHooks, 5>,
    UnimplementedSlot<SuiteId::uiHooks, 6>,
    UnimplementedSlot<SuiteId::uiHooks, 7>,
    GetPluginName,
};

}  // namespace

const UIHooksSuite* UIHooksSuiteTable() { return &uiHooksSuite; }

}  // namespace standin
