// The AppKit calls that GNUstep does not provide, supplied by this stand-in.
// Code that uses them includes this header only where GNUstep is the
// platform:
//
//     #ifdef GNUSTEP
//     #include "standin/appkit/StandinAppKit.h"
//     #endif
//
// Besides what is declared here, the stand-in replaces +[NSBundle
// bundleForClass:] so that a class defined in a plug-in module loaded with a
// plain dlopen finds the module's own bundle instead of the host's main bundle.
#pragma once

#ifdef __OBJC__
#import <AppKit/AppKit.h>

#ifdef __cplusplus
extern "C" {
#endif

// Makes AppKit usable in a process that has not set it up itself: creates the
// shared application object (and with it the connection to the display) if
// there is none yet. Returns YES; calling it again changes nothing.
BOOL NSApplicationLoad(void);

#ifdef __cplusplus
}
#endif

@interface NSBundle (StandinNibLoading)
// Loads the interface file `nibName` from the receiver's resources, looking
// for "<nibName>.xib", then ".nib", then ".gorm", with `owner` as the file's
// owner: outlets and actions are connected. When `topLevelObjects` is not
// NULL it receives an autoreleased array of the file's top-level objects.
// As with AppKit, that array is the only owner of the top-level objects: what
// the caller needs beyond the current autorelease pool, it retains (an owning
// outlet, say); the rest goes with the pool.
// Returns NO when no such file exists or it cannot be loaded: a damaged file
// (one the loader raises on or finds no objects in) included; nothing is
// raised.
//
// Ownership differs from AppKit's in one point, which is GNUstep's: an outlet
// is connected through the owner's setter when it has one, but an outlet
// without a setter gets its instance variable written directly, WITHOUT the
// retain AppKit gives it. An owner that keeps such outlets as owning
// references retains them itself after loading (under #ifdef GNUSTEP).
- (BOOL)loadNibNamed:(NSString*)nibName owner:(id)owner topLevelObjects:(NSArray**)topLevelObjects;
@end

#endif  // __OBJC__
