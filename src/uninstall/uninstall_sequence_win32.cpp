#include "uninstall/uninstall.h"
#include "uninstall/uninstall_paths.h"

#include "common/path_rules.h"
#include "common/system_text.h"
#include "script/setup_model.h"

#include <initializer_list>

#include <windows.h>

void DeleteUserKeyIfEmpty(const char* key)
{
    HKEY opened;
    if (!SysRegOpenKey(HKEY_CURRENT_USER, key, KEY_QUERY_VALUE, &opened))
        return;
    DWORD subkeys = 1;
    DWORD values = 1;
    const bool known = SysRegCountEntries(opened, &subkeys, &values);
    RegCloseKey(opened);
    // Windows 95/98 would delete a key with its subkeys: only an empty one goes.
    if (known && subkeys == 0 && values == 0)
        SysRegDeleteKey(HKEY_CURRENT_USER, key);
}

void RemoveInstallRecord()
{
    // The script names the key; one outside Software (the user's environment,
    // say) holds values of the player's own and is never touched. Only the
    // values the installation wrote go, and the key once nothing is left.
    if (!IsSoftwareSubkey(SetupScript.REGADDRESS))
        return;
    HKEY key;
    if (!SysRegOpenKey(HKEY_CURRENT_USER, SetupScript.REGADDRESS, KEY_SET_VALUE, &key))
        return;
    for (const char* value : {"InstallFolder", "InstallOption", UnfinishedInstallValue})
        SysRegDeleteValue(key, value);
    RegCloseKey(key);
    DeleteUserKeyIfEmpty(SetupScript.REGADDRESS);
}

int RunUninstallSequence(int deleteSaveData)
{
    const int files = RemoveInstalledFiles(deleteSaveData);
    const int shortcuts = RemoveShortcuts((SetupScript.InstallOption & DesktopShortcutBit) != 0);
    RemoveInstallRecord();
    // A second attempt: usually the removal of the files took the folder
    // already, and a folder that is gone counts as removed.
    const int folder = InstallFolderUsableHere(SetupScript.InstallFolder) &&
                       RemoveFolderTolerant(SetupScript.InstallFolder);
    return files && shortcuts && folder ? 1 : 0;
}
