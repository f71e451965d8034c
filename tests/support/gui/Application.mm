#include "support/gui/Application.h"

#import <AppKit/AppKit.h>

#ifdef GNUSTEP
#import <GNUstepGUI/GSXibElement.h>
#include <objc/runtime.h>
#endif

namespace gui_test {

#ifdef GNUSTEP
namespace {

// The point size GNUstep gives a standard font (metaFont="system", "menu",
// "smallSystem", ...) that a XIB names without a size.
float StandardFontSize(NSString* metaFont) {
    NSString* name = [metaFont lowercaseString];
    if (name == nil) return 13;
    if ([name rangeOfString:@"mini"].location != NSNotFound) return 9;
    if ([name rangeOfString:@"small"].location != NSNotFound) return 11;
    if ([name rangeOfString:@"medium"].location != NSNotFound) return 12;
    return 13;
}

// Stands in for -[GSXib5KeyedUnarchiver decodeFontSizeForElement:]. GNUstep
// 0.29 reads the size as [[attributes objectForKey:@"size"] floatValue], and
// XIBs leave the size out of standard fonts. With GCC's Objective-C runtime a
// float-returning message to nil does not return 0 but whatever the floating-
// point register last held, so such fonts got a random size (NaN, 1e9, 1e-32,
// ...). A huge size makes FreeType fail on the font file, after which cairo
// refuses every size of that face: "The font specified for NSFont, DejaVuSans,
// can't be found", controls without a font, and a crash when they are drawn.
id DecodeFontSizeForElement(id, SEL, GSXibElement* element) {
    NSString* size = [element attributeForKey:@"size"];
    float points = size != nil ? [size floatValue] : 0;
    if (points <= 0) points = StandardFontSize([element attributeForKey:@"metaFont"]);
    return [NSNumber numberWithFloat:points];
}

void MendXibFontSizes() {
    Class unarchiver = NSClassFromString(@"GSXib5KeyedUnarchiver");
    if (unarchiver == Nil) return;
    Method method = class_getInstanceMethod(unarchiver, @selector(decodeFontSizeForElement:));
    if (method == NULL) return;
    method_setImplementation(
        method, reinterpret_cast<IMP>(reinterpret_cast<void (*)()>(&DecodeFontSizeForElement)));
}

}  // namespace
#endif

void PrepareApplication() {
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
#ifdef GNUSTEP
    MendXibFontSizes();
#endif
    [NSApplication sharedApplication];
    [pool release];
}

}  // namespace gui_test
