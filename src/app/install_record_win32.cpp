#include "app/install_record.h"
#include "app/startup_win32.h"

#include "common/path_rules.h"
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
        RegOpenKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0, KEY_ALL_ACCESS, &key) !=
            ERROR_SUCCESS) {
        SetupScript.IsInstalled = 0;
        SetupScript.InstallOption = 0;
        return;
    }
    uint8_t folder[PathWidth] = {};
    DWORD folderSize = sizeof folder;
    const bool folderRead = RegQueryValueExA(key, "InstallFolder", nullptr, nullptr, folder,
                                             &folderSize) == ERROR_SUCCESS;
    DWORD option = SetupScript.InstallOption;
    DWORD optionSize = sizeof option;
    RegQueryValueExA(key, "InstallOption", nullptr, nullptr, reinterpret_cast<BYTE*>(&option),
                     &optionSize);
    SetupScript.InstallOption = option;
    RegCloseKey(key);
    ApplyInstallRecord(folderRead ? folder : nullptr, folderRead ? folderSize : 0);
}
