// The module's build stamps, exported for tools that inspect the binary.
// Nothing in the plug-in reads them.
#include "entry/Version.h"

extern const double DecimoraVersionNumber;
extern const unsigned char DecimoraVersionString[];

const double DecimoraVersionNumber = DECIMORA_VERSION_NUMBER;
const unsigned char DecimoraVersionString[] = "@(#)PROGRAM:Decimora  PROJECT:Decimora-" DECIMORA_VERSION_TEXT "\n";
