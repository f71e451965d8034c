// Marks helpers that serve this folder's exported functions but are not part
// of what the plug-in module exports.
#pragma once

#define DECIMORA_MODULE_LOCAL __attribute__((visibility("hidden")))
