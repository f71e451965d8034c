#include "standin/host/Module.h"

#include <dlfcn.h>

namespace standin {

std::unique_ptr<Module> Module::Open(const std::string& path, bool staysMapped, std::string* error) {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | (staysMapped ? RTLD_NODELETE : 0));
    if (handle == nullptr) {
        const char* message = dlerror();
        *error = message != nullptr ? message : path + ": cannot be loaded";
        return nullptr;
    }
    return std::unique_ptr<Module>(new Module(handle));
}

// The module's static destructors run here (the plug-in releases its suites
// then), so the host must still be alive.
Module::~Module() { dlclose(handle_); }

void* Module::Symbol(const std::string& name, std::string* error) const {
    dlerror();
    void* address = dlsym(handle_, name.c_str());
    if (address == nullptr) *error = "no symbol " + name;
    return address;
}

}  // namespace standin
