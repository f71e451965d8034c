// A loaded module (shared object), closed when the object goes.
#pragma once

#include <memory>
#include <string>

namespace standin {

class Module {
public:
    // Loads the module at `path` with every symbol bound now; null, with
    // `*error` set, when the loader refuses it. A module that `staysMapped`
    // is not unmapped when closed: its static destructors then run at
    // process exit instead.
    static std::unique_ptr<Module> Open(const std::string& path, bool staysMapped, std::string* error);

    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // The address of symbol `name`, or null with `*error` set.
    void* Symbol(const std::string& name, std::string* error) const;

private:
    explicit Module(void* handle) : handle_(handle) {}
    void* handle_;
};

}  // namespace standin
