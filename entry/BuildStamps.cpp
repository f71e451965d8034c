// The module's build stamps, exported for tools that inspect the binary.
// Nothing in the plug-in reads them.

extern const double DecimoraVersionNumber;
extern const unsigned char DecimoraVersionString[];

const double DecimoraVersionNumber = 7.0;
const unsigned char DecimoraVersionString[] = "@(#)PROGRAM:Decimora  PROJECT:Decimora-7.0L\n";
