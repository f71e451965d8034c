// +[NSBundle bundleForClass:] for classes of plug-in modules.
//
// GNUstep knows only the bundles it loaded itself. For a class defined in a
// module that the host opened with a plain dlopen it answers with the main
// bundle (the host's), so the module's resources are not found. The
// replacement installed here asks GNUstep first and, when the answer is the
// main bundle (or nothing), looks for the bundle folder around the file of
// the module that holds the class. It is installed when this code is loaded
// and taken out again when it is unloaded.
#include <dlfcn.h>
#include <limits.h>
#include <objc/runtime.h>
#include <unistd.h>

#include <string>

#include "standin/appkit/ModuleBundleFolder.h"
#include "standin/appkit/StandinAppKit.h"

namespace {

using BundleForClassImp = NSBundle* (*)(id, SEL, Class);

BundleForClassImp gPreviousBundleForClass = nullptr;

std::string MainProgramPath() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return std::string();
    return std::string(path, static_cast<std::size_t>(length));
}

std::string ResolvedPath(const char* path) {
    char resolved[PATH_MAX];
    return realpath(path, resolved) != nullptr ? std::string(resolved) : std::string();
}

// The path of the loaded module (not the main program) whose image holds the
// class structure; empty when there is none.
std::string ModuleOfClass(Class cls) {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(cls), &info) == 0 || info.dli_fname == nullptr) return std::string();
    const std::string module = ResolvedPath(info.dli_fname);
    if (module.empty() || module == MainProgramPath()) return std::string();
    return module;
}

NSBundle* BundleAroundModuleOf(Class cls) {
    const std::string module = ModuleOfClass(cls);
    if (module.empty()) return nil;
    const std::string folder = standin::BundleFolderOfModule(module);
    if (folder.empty()) return nil;
    return [NSBundle bundleWithPath:[NSString stringWithUTF8String:folder.c_str()]];
}

NSBundle* StandinBundleForClass(id receiver, SEL selector, Class cls) {
    NSBundle* answer = gPreviousBundleForClass(receiver, selector, cls);
    if (cls == Nil || (answer != nil && answer != [NSBundle mainBundle])) return answer;
    NSBundle* own = BundleAroundModuleOf(cls);
    return own != nil ? own : answer;
}

Method BundleForClassMethod() {
    Class bundleClass = objc_getClass("NSBundle");
    if (bundleClass == Nil) return nullptr;
    return class_getClassMethod(bundleClass, @selector(bundleForClass:));
}

// Installs the replacement for as long as this code stays loaded.
class BundleForClassInstallation {
public:
    BundleForClassInstallation() {
        Method method = BundleForClassMethod();
        if (method == nullptr) return;
        gPreviousBundleForClass = reinterpret_cast<BundleForClassImp>(
            method_setImplementation(method, reinterpret_cast<IMP>(&StandinBundleForClass)));
    }

    // Puts the previous implementation back, unless another module has
    // replaced ours in the meantime (it then calls ours, which must stay).
    ~BundleForClassInstallation() {
        Method method = BundleForClassMethod();
        if (method == nullptr || gPreviousBundleForClass == nullptr) return;
        if (method_getImplementation(method) == reinterpret_cast<IMP>(&StandinBundleForClass)) {
            method_setImplementation(method, reinterpret_cast<IMP>(gPreviousBundleForClass));
        }
    }

    BundleForClassInstallation(const BundleForClassInstallation&) = delete;
    BundleForClassInstallation& operator=(const BundleForClassInstallation&) = delete;
};

const BundleForClassInstallation gInstallation;

}  // namespace
