#include "uninstall/uninstall.h"
#include "uninstall/uninstall_paths.h"

#include "script/setup_model.h"

#include <windows.h>

void RemoveInstallRecord()
{
    // An empty subkey would name the user's root key itself.
    if (SetupScript.REGADDRESS[0] != '\0')
        RegDeleteKeyA(HKEY_CURRENT_USER, SetupScript.REGADDRESS);
}

int RunUninstallSequence(int deleteSaveData)
{
    const int files = RemoveInstalledFiles(deleteSaveData);
    const int shortcuts = RemoveShortcuts((SetupScript.InstallOption & DesktopShortcutBit) != 0);
    RemoveInstallRecord();
    // A second attempt: usually the removal of the files took the folder
    // already, and a folder that is gone counts as removed.
    const int folder = IsRemovalRoot(SetupScript.InstallFolder) &&
                       RemoveFolderTolerant(SetupScript.InstallFolder);
    return files && shortcuts && folder ? 1 : 0;
}
