// A module with nothing in it but its place in a bundle folder whose
// identifier is the plug-in's: loading it lets the plug-in's bundle lookup
// find that folder.
extern "C" __attribute__((visibility("default"))) int IdentityProbeModule() {
    return 1;
}
