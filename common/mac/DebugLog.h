// Diagnostic lines in the system log, each tagged with the kind of thread
// that wrote it: " MAIN" for the first thread that logged (or asked for its
// tag) in this process, "        SEC" for any other. The plug-in writes no
// log lines itself; these belong to the exported utility layer, with
// MyString::DebugLog and MyString::DebugLogFormat (common/MyString.h).
// Any thread may call them.
#pragma once

#ifdef __OBJC__
#import <Foundation/Foundation.h>

// The calling thread's tag, one of two constant strings.
NSString* GetThreadNameMac();

// Logs "<tag>: " followed by `format` filled with the arguments by NSLog's
// rules ("%@" for objects, the printf conversions otherwise).
void MyNSLog(NSString* format, ...);
#endif
