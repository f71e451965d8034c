#include "common/mac/PluginSetupFolder.h"

#include <CoreFoundation/CoreFoundation.h>

#include "common/ScopedCFObject.h"
#include "common/mac/PluginNames.h"

bool getPluginSetupFoder(char* path, int size) {
    if (size <= 0 || path == nullptr) return false;
    ScopedCFObject<CFStringRef> identifier(
        CFStringCreateWithCString(kCFAllocatorDefault, gGetPlugInMacBundleName(), kCFStringEncodingUTF8));
    if (!identifier) {
        path[0] = '\0';
        return false;
    }
    CFBundleRef bundle = CFBundleGetBundleWithIdentifier(identifier.get());
    if (bundle == nullptr) return true;
    ScopedCFObject<CFURLRef> url(CFBundleCopyBundleURL(bundle));
    if (url) {
        CFURLGetFileSystemRepresentation(url.get(), true, reinterpret_cast<UInt8*>(path), size);
    }
    return true;
}
