// The plug-in's About box.
#pragma once

#include "host/HostTypes.h"

// Shows the About box modally: headline "<name> <version>\n<architecture>\n",
// body "<description>\n\nWere: <bundle path>\n\n<copyright>\n<e-mail>\n ",
// and the buttons "OK" and `webHost`. The second button opens
// "http://" + webHost in the browser through the host's GetFileList suite.
// All arguments are zero-terminated UTF-8; `webHost` is a bare host name.
//
// Throws the suite holder's uint32_t code when the GetFileList suite cannot
// be acquired (the alert has closed and its objects are released by then).
void gShowAbout(const char* name, const char* version, const char* architecture, const char* description,
                const char* copyright, const char* email, const char* webHost);

// The About box with this plug-in's identity (entry/PluginIdentity.h).
// The plug-in reference is not used. Throws as gShowAbout does.
void DoMyAbout(SPPlugin* plugin);
