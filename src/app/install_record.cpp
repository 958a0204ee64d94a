#include "app/install_record.h"

#include "common/text.h"
#include "script/setup_model.h"

void ComposeInstallBasePath(char* basePath, size_t size, const char* programFiles,
                            const char* brandFolder)
{
    if (programFiles && JoinPath(basePath, size, programFiles, brandFolder))
        return;
    FormatText(basePath, size, "C:\\Program Files\\%s", brandFolder);
}

bool TakeInstallFolderValue(char* folder, size_t size, const uint8_t* value, uint32_t length)
{
    CopyTextN(folder, size, reinterpret_cast<const char*>(value), length);
    return folder[0] != '\0';
}

void ApplyInstallRecord(const uint8_t* folderValue, uint32_t length)
{
    char folder[PathWidth] = {};
    if (folderValue && TakeInstallFolderValue(folder, sizeof folder, folderValue, length)) {
        CopyText(SetupScript.InstallFolder, folder);
        SetupScript.IsInstalled = 1;
        return;
    }
    SetupScript.IsInstalled = 0;
    FormatText(SetupScript.InstallFolder, sizeof SetupScript.InstallFolder, "%s%s",
               SetupScript.InstallBasePath, SetupScript.MUSTMAKEFOLDER);
}
