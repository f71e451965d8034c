// Text objects made from the zero-terminated UTF-8 strings that cross the
// plug-in's internal boundaries.
#pragma once

#ifdef __OBJC__
#import <Foundation/Foundation.h>

#include "common/mac/ModuleLocal.h"

// A new string (owned by the caller) with the text of `utf8`. A null pointer
// or bytes that are not UTF-8 give an empty string rather than nil, so that
// the result can go wherever Cocoa requires an object.
DECIMORA_MODULE_LOCAL NSString* NewTextFromUTF8(const char* utf8);

#endif  // __OBJC__
