#include "app/app_shell.h"

#include "common/system_dlls.h"
#include "common/system_text.h"
#include "common/text.h"

// The command line the system hands the narrow entry is in the system's own
// code page; the program reads its own from the wide one, in 932.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // Before anything else loads a DLL by name: from the system folder only.
    RestrictDllSearch();
    // The longest command line Windows passes, two bytes a character.
    static char commandLine[2 * 32768];
    // Unreadable is not empty: an empty one would relaunch the program.
    if (!SysGetCommandArguments(commandLine, sizeof commandLine))
        CopyText(commandLine, "?");
    return RunDrubel(instance, commandLine, showCommand);
}
