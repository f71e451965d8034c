// Modal message boxes: a generic information box, a generic error box, and
// the error box that carries the plug-in's name. Each shows one "OK" button
// and returns only once the user has closed it.
#pragma once

#ifdef __OBJC__
#import <Foundation/Foundation.h>

// The Cocoa side of the generic boxes. Both take (text, caption): the caption
// is the headline and the text the body.
@interface MyMessageBoxMac : NSObject
// Informational style; returns the modal result (1000 for "OK").
+ (int)MyMessage:(const char*)text :(const char*)caption;
// Critical style.
+ (void)MyErrorMessage:(const char*)text :(const char*)caption;
@end
#endif

// An error alert (critical style) with gGetPluginName() as headline and
// `text` as body.
void gShowErrorMessage(const char* text);

// Forwards to +[MyMessageBoxMac MyMessage::] with (text, caption).
int gPlatformMessageBox(const char* text, const char* caption);

// Forwards to +[MyMessageBoxMac MyErrorMessage::] with (text, caption).
void gPlatformErrorMessageBox(const char* text, const char* caption);
