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
    uint8_t folder[PathWidth] = {};
    DWORD folderSize = sizeof folder;
    const bool folderRead = SysRegReadBinary(key, "InstallFolder", folder, &folderSize);
    DWORD option = SetupScript.InstallOption;
    DWORD optionSize = sizeof option;
    SysRegReadBinary(key, "InstallOption", &option, &optionSize);
    SetupScript.InstallOption = option;
    RegCloseKey(key);
    ApplyInstallRecord(folderRead ? folder : nullptr, folderRead ? folderSize : 0);
}
