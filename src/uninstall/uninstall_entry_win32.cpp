#include "uninstall/uninstall_entry.h"

#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <windows.h>

bool WriteUninstallEntry(const char* program, uint64_t installedBytes)
{
    char key[PathWidth];
    if (!UninstallEntryKey(SetupScript.REGADDRESS, key, sizeof key))
        return false;
    HKEY entry;
    if (!SysRegCreateKey(HKEY_CURRENT_USER, key, KEY_SET_VALUE, &entry)) {
        LogResult(false, "Make the Apps & features entry HKCU\\%s", key);
        return false;
    }
    char displayName[2 * TextWidth + 2];
    FormatEntryDisplayName(displayName, sizeof displayName, SetupScript.APPLITITLE,
                           SetupScript.SUBTITLE);
    char icon[PathWidth];
    const bool iconKnown = JoinPath(icon, SetupScript.InstallFolder, SetupScript.EXENAME);
    SYSTEMTIME today;
    GetLocalTime(&today);
    char date[16];
    FormatEntryInstallDate(date, sizeof date, today.wYear, today.wMonth, today.wDay);
    char command[PathWidth + 8];
    const bool commandKnown = FormatEntryUninstallString(command, sizeof command, program);
    // The same command without questions, for whoever removes programs unattended.
    char quiet[PathWidth + 24];
    const bool quietKnown = commandKnown && FormatText(quiet, sizeof quiet, "%s /SILENT", command);
    const bool written =
        SysRegWriteText(entry, "DisplayName", displayName) &&
        SysRegWriteText(entry, "Publisher", SetupScript.BRANDNAME) &&
        (!iconKnown || SysRegWriteText(entry, "DisplayIcon", icon)) &&
        SysRegWriteText(entry, "InstallLocation", SetupScript.InstallFolder) &&
        SysRegWriteText(entry, "InstallDate", date) &&
        SysRegWriteDword(entry, "EstimatedSize", EntryEstimatedSize(installedBytes)) &&
        commandKnown && SysRegWriteText(entry, "UninstallString", command) &&
        quietKnown && SysRegWriteText(entry, "QuietUninstallString", quiet) &&
        SysRegWriteDword(entry, "NoModify", 1) && SysRegWriteDword(entry, "NoRepair", 1);
    LogResult(written, "Write the Apps & features entry HKCU\\%s (UninstallString %s)", key,
              commandKnown ? command : "?");
    RegCloseKey(entry);
    return written;
}

void RemoveUninstallEntry()
{
    char key[PathWidth];
    if (UninstallEntryKey(SetupScript.REGADDRESS, key, sizeof key)) {
        const bool removed = SysRegDeleteKey(HKEY_CURRENT_USER, key);
        LogResult(removed, "Remove the Apps & features entry HKCU\\%s", key);
    }
}
