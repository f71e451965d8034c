// Where the plug-in's own bundle lies in the file system.
#pragma once

// Writes the path of the plug-in's bundle folder into `path` as terminated
// UTF-8 of at most `size` bytes. The bundle is the loaded one whose
// identifier is gGetPlugInMacBundleName().
//
// Returns false with `path` untouched when size is 0 or negative, and false
// with `path` empty when the identifier cannot be made into a string.
// Otherwise returns true, also when no such bundle is loaded or its path does
// not fit: `path` is then left as it was, so callers that show it clear it
// first.
bool getPluginSetupFoder(char* path, int size);
