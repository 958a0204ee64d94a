// The one command letter the program understands, and what it asks for.
#pragma once

#include <cstddef>

enum CommandAction {
    CommandRelaunchLauncher,   // none: copy to the temporary folder, start it with t
    CommandRelaunchUninstall,  // u: the same with r
    CommandLauncher,           // t: running from the temporary folder
    CommandUninstall,          // r: the same, straight into the uninstall
    CommandUnknown,            // anything else: say so, then run in place
};

// Only the first character of the command line counts.
CommandAction ReadCommandLetter(const char* commandLine);

// The file name with extension of a program path ("Drubel.exe"), cut to fit
// `size` without splitting a character.
void ModuleNameFromPath(const char* path, char* name, size_t size);
