#include "uninstall/uninstall.h"
#include "uninstall/uninstall_entry.h"
#include "uninstall/uninstall_paths.h"

#include "common/path_rules.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <initializer_list>

#include <windows.h>
#include <shlobj.h>

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
        LogResult(SysRegDeleteKey(HKEY_CURRENT_USER, key), "Remove registry key HKCU\\%s", key);
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
        LogResult(SysRegDeleteValue(key, value), "Remove registry value HKCU\\%s %s", SetupScript.REGADDRESS,
                  value);
    RegCloseKey(key);
    DeleteUserKeyIfEmpty(SetupScript.REGADDRESS);
}

// The launcher's copy that the installation itself put into "uninst" for
// the Apps & features entry (one the lists install goes with the listed
// files). This run works from the temporary folder, so the copy can go.
static void RemoveOwnUninstaller()
{
    char folder[PathWidth];
    if (FindListedLauncherCopy(SetupScript.ModuleName, SetupScript.InstallOption, folder,
                               sizeof folder) ||
        !BuildContainedPath(folder, sizeof folder, SetupScript.InstallFolder, UninstallerFolder))
        return;
    for (const char* name : {static_cast<const char*>(SetupScript.ModuleName), ScriptFileName,
                             ArchiveFileName}) {
        char path[PathWidth];
        if (name[0] != '\0' && BuildContainedPath(path, sizeof path, folder, name))
            DeleteFileTolerant(path);
    }
    LogResult(SysRemoveFolder(folder), "Remove folder %s", folder);
}

// Kept save data that lies outside the install folder needs no Install.ini
// to be found again (the next installation makes the same folder), and an
// install folder holding nothing but that file is debris.
static void RemoveInstallIniKeptApart()
{
    FindSaveFolder();
    char local[PathWidth] = {};
    SysGetSpecialFolder(CSIDL_LOCAL_APPDATA, local);
    SaveFolders folders;
    ComposeSaveFolders(SetupScript.InstallFolder, local, SetupScript.BRANDFOLDER,
                       SetupScript.APPLITITLE, SetupScript.SAVEFOLDER, &folders);
    char iniPath[PathWidth];
    if (ClassifySaveFolder(SetupScript.SavePath, folders) == SaveFolderLocal &&
        JoinPath(iniPath, SetupScript.InstallFolder, "Install.ini"))
        DeleteFileTolerant(iniPath);
}

int RunUninstallSequence(int deleteSaveData)
{
    LogLine("Uninstall %s, save data %s", SetupScript.InstallFolder, deleteSaveData ? "removed" : "kept");
    const int files = RemoveInstalledFiles(deleteSaveData);
    const int shortcuts = RemoveShortcuts((SetupScript.InstallOption & DesktopShortcutBit) != 0);
    RemoveInstallRecord();
    const bool usable = InstallFolderUsableHere(SetupScript.InstallFolder);
    if (usable) {
        RemoveOwnUninstaller();
        if (!deleteSaveData)
            RemoveInstallIniKeptApart();
    }
    // A second attempt: usually the removal of the files took the folder
    // already, and a folder that is gone counts as removed.
    const int folder = usable && RemoveFolderTolerant(SetupScript.InstallFolder);
    // Last, so that an uninstall cut short can still be started from it.
    RemoveUninstallEntry();
    LogLine("Uninstall: files %s, links %s, install folder %s", files ? "removed" : "not all removed",
            shortcuts ? "removed" : "not all removed", folder ? "removed" : "left");
    return files && shortcuts && folder ? 1 : 0;
}

int ForgetMissingInstallation()
{
    LogLine("The installation in %s is gone: its links and records are removed", SetupScript.InstallFolder);
    RemoveShortcuts((SetupScript.InstallOption & DesktopShortcutBit) != 0);
    RemoveInstallRecord();
    RemoveUninstallEntry();
    return 1;
}
