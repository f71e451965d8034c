// Finding the bundle of a loaded module.
#pragma once

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct CFStandinBundle* CFBundleRef;

// The bundle, among the folders of the modules loaded in this process, whose
// property list declares bundleIdentifier as its CFBundleIdentifier; null when
// none does. Two layouts are bundles:
//   X.plugin/<module> with X.plugin/Resources/Info-gnustep.plist
//   X.plugin/Contents/MacOS/<module> with X.plugin/Contents/Info.plist
// The caller does not own the result (do not release it).
CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleIdentifier);

// The URL of the bundle's folder (X.plugin); the caller owns it.
CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);

#ifdef __cplusplus
}
#endif
