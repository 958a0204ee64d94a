#include "uninstall/uninstall.h"
#include "uninstall/uninstall_paths.h"

#include "common/folder_forms.h"
#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <windows.h>
#include <shlobj.h>

// A folder of the system's in its full, long form; empty when unknown.
static void LongFormOf(const char* folder, char* out)
{
    if (folder[0] == '\0' || !SysGetFullLongPath(folder, out, PathWidth))
        out[0] = '\0';
}

bool InstallFolderUsableHere(const char* folder)
{
    // The form as given first: one the rule cannot read the same way as
    // Windows ("C:\windows.\x", "C:/windows", a share) is never an install
    // folder, whatever it leads to.
    if (!IsPlainInstallFolderForm(folder))
        return false;
    char fullLong[PathWidth] = {};
    if (!SysGetFullLongPath(folder, fullLong))
        return false;
    char found[PathWidth] = {};
    char windows[PathWidth] = {};
    if (SysGetWindowsFolder(found))
        LongFormOf(found, windows);
    char programFiles[MaxProgramFilesFolders][PathWidth] = {};
    ReadProgramFilesFolders(programFiles, MaxProgramFilesFolders);
    char profile[PathWidth] = {};
    // A profile folder with no 932 form (nor a short one) stays unknown; the
    // other rules still keep the drive roots and the Windows folder.
    found[0] = '\0';
    if (SysGetSpecialFolder(CSIDL_PROFILE, found))
        LongFormOf(found, profile);
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
    SystemFolders system = {windows, {}, profiles, profile};
    for (int i = 0; i < MaxProgramFilesFolders; ++i)
        system.ProgramFiles[i] = programFiles[i];
    return IsUsableInstallFolderForms(folder, fullLong, system, SetupScript.MUSTMAKEFOLDER);
}
