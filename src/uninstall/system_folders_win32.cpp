#include "uninstall/uninstall.h"
#include "uninstall/uninstall_paths.h"

#include "common/program_files.h"
#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <windows.h>
#include <shlobj.h>

bool InstallFolderUsableHere(const char* folder)
{
    char windows[PathWidth] = {};
    if (!SysGetWindowsFolder(windows))
        windows[0] = '\0';
    char programFiles[PathWidth] = {};
    if (!ReadProgramFilesDir(programFiles, sizeof programFiles))
        programFiles[0] = '\0';
    char shellProgramFiles[PathWidth] = {};
    SysGetSpecialFolder(CSIDL_PROGRAM_FILES, shellProgramFiles);
    char profile[PathWidth] = {};
    // A profile folder with no 932 form (nor a short one) stays unknown; the
    // other rules still keep the drive roots and the Windows folder.
    SysGetSpecialFolder(CSIDL_PROFILE, profile);
    // The profiles folder is the one that holds the player's profile.
    CutTrailingBackslash(profile);
    char profiles[PathWidth] = {};
    if (const char* last = FindLastBackslash(profile))
        CopyTextN(profiles, sizeof profiles, profile, static_cast<size_t>(last - profile));
    // A profile right below a drive root would make every such folder one.
    if (!IsRemovalRoot(profiles))
        profiles[0] = '\0';
    // Without any system folder known, nothing can be told apart from them.
    if (windows[0] == '\0')
        return false;
    const SystemFolders system = {windows, {programFiles, shellProgramFiles}, profiles, profile};
    return IsUsableInstallFolder(folder, system, SetupScript.MUSTMAKEFOLDER);
}
