#include "standin/appkit/StandinAppKit.h"

namespace {

// The interface file types a bundle may hold, in the order they are tried:
// Xcode's source form first, then compiled nibs, then GNUstep's own format.
NSString* const kNibTypes[] = {@"xib", @"nib", @"gorm"};

NSString* NibPathInBundle(NSBundle* bundle, NSString* nibName) {
    for (NSString* type : kNibTypes) {
        NSString* path = [bundle pathForResource:nibName ofType:type];
        if (path != nil) return path;
    }
    return nil;
}

// GNUstep's loader gives every top-level object one reference beyond the one
// the returned array holds (the older nib-loading convention, in which the
// caller released each top-level object itself). The AppKit call stood in
// for leaves the autoreleased array as their only owner, and callers written
// for it never give that reference back: each load would keep its window
// alive for good. So it is given back here, once per object.
void GiveBackLoaderReferences(NSArray* topLevelObjects) {
    const NSUInteger count = [topLevelObjects count];
    for (NSUInteger i = 0; i < count; ++i) [[topLevelObjects objectAtIndex:i] release];
}

}  // namespace

@implementation NSBundle (StandinNibLoading)

- (BOOL)loadNibNamed:(NSString*)nibName owner:(id)owner topLevelObjects:(NSArray**)topLevelObjects {
    if (nibName == nil) return NO;
    NSString* path = NibPathInBundle(self, nibName);
    if (path == nil) return NO;
    NSNib* nib = [[NSNib alloc] initWithContentsOfURL:[NSURL fileURLWithPath:path]];
    if (nib == nil) return NO;
    // GNUstep reports success for a file it could not parse, with nothing
    // loaded from it; AppKit reports such a file as a failure. The top-level
    // objects tell the two apart, so they are always asked for.
    NSArray* loadedObjects = nil;
    BOOL loaded = NO;
    @try {
        loaded = [nib instantiateWithOwner:owner topLevelObjects:&loadedObjects];
    } @catch (NSException* exception) {
        loaded = NO;
    }
    GiveBackLoaderReferences(loadedObjects);
    if ([loadedObjects count] == 0) loaded = NO;
    if (loaded && topLevelObjects != NULL) *topLevelObjects = loadedObjects;
    [nib release];
    return loaded;
}

@end
