// The CoreFoundation calls this project uses, for systems without Apple's
// framework. Same names, types and calling shapes as Apple's C interface, so
// the same sources build against either.
#pragma once

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFData.h>
#include <CoreFoundation/CFLocale.h>
#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>
