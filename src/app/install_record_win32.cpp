#include "app/install_record.h"
#include "app/startup_win32.h"

#include "common/path_rules.h"
#include "common/system_text.h"
#include "common/program_files.h"
#include "script/setup_model.h"

void ComposeInstallBasePathFromRegistry()
{
    char programFiles[MAX_PATH + 1];
    const bool read = ReadProgramFilesDir(programFiles, sizeof programFiles);
    ComposeInstallBasePath(SetupScript.InstallBasePath, sizeof SetupScript.InstallBasePath,
                           read ? programFiles : nullptr, SetupScript.BRANDFOLDER);
}

void ReadInstallRecord()
{
    HKEY key;
    // A key outside Software is no install record (the start-up refuses
    // such a script once its start-up steps are done).
    if (!IsSoftwareSubkey(SetupScript.REGADDRESS) ||
        !SysRegOpenKey(HKEY_CURRENT_USER, SetupScript.REGADDRESS, KEY_ALL_ACCESS, &key)) {
        SetupScript.IsInstalled = 0;
        SetupScript.InstallOption = 0;
        return;
    }
    // One byte more than a record may hold, so that a longer value reads
    // as too long rather than as cut.
    uint8_t folder[PathWidth + 1] = {};
    RecordValue folderValue = {false, 0, folder, sizeof folder};
    DWORD type = 0;
    DWORD size = sizeof folder;
    folderValue.Read = SysRegReadValue(key, "InstallFolder", &type, folder, &size);
    folderValue.Type = type;
    folderValue.Length = size;
    uint8_t option[8] = {};
    RecordValue optionValue = {false, 0, option, sizeof option};
    size = sizeof option;
    optionValue.Read = SysRegReadValue(key, "InstallOption", &type, option, &size);
    optionValue.Type = type;
    optionValue.Length = size;
    RegCloseKey(key);
    ApplyInstallRecord(folderValue, optionValue);
}
