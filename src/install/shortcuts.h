// Shell links of an installation: the Start-menu group and the desktop link.
#pragma once

#include <windows.h>

// Saves one shell link (IShellLinkW through IPersistFile). `iconFile` may be
// null for none. The result of the save, or of the first step that failed.
HRESULT CreateShellLink(const char* linkFile, const char* target, const char* description,
                        const char* arguments, const char* workFolder, const char* iconFile,
                        int iconIndex, int showCommand);

// One link per SHORTCUTNAME in Programs\BRANDNAME\APPLITITLE and, with
// `desktop`, the first one on the desktop as well. A special folder whose
// path cannot be had gets no links. 1 when done, 0 when COM could not be
// initialised.
int CreateShortcuts(int desktop);
