#include "app/install_record.h"

#include "common/text.h"
#include "script/setup_model.h"

#include <cstring>

void ComposeInstallBasePath(char* basePath, size_t size, const char* programFiles,
                            const char* brandFolder)
{
    if (programFiles && JoinPath(basePath, size, programFiles, brandFolder))
        return;
    FormatText(basePath, size, "C:\\Program Files\\%s", brandFolder);
}

bool TakeInstallFolderValue(char* folder, size_t size, const RecordValue& value)
{
    if (size == 0)
        return false;
    folder[0] = '\0';
    if (!value.Read || value.Type != RecordBinaryType || value.Bytes == nullptr ||
        value.Length == 0 || value.Length > PathWidth ||
        memchr(value.Bytes, '\0', value.Length) == nullptr)
        return false;
    return CopyTextN(folder, size, reinterpret_cast<const char*>(value.Bytes), value.Length) &&
           folder[0] != '\0';
}

bool TakeInstallOptionValue(uint32_t* option, const RecordValue& value)
{
    if (!value.Read || value.Type != RecordDwordType || value.Bytes == nullptr ||
        value.Length != sizeof *option)
        return false;
    memcpy(option, value.Bytes, sizeof *option);
    return true;
}

void ApplyInstallRecord(const RecordValue& folderValue, const RecordValue& optionValue)
{
    char folder[PathWidth] = {};
    uint32_t option = 0;
    if (TakeInstallFolderValue(folder, sizeof folder, folderValue) &&
        TakeInstallOptionValue(&option, optionValue)) {
        CopyText(SetupScript.InstallFolder, folder);
        SetupScript.InstallOption = option;
        SetupScript.IsInstalled = 1;
        return;
    }
    SetupScript.IsInstalled = 0;
    SetupScript.InstallOption = 0;
    FormatText(SetupScript.InstallFolder, sizeof SetupScript.InstallFolder, "%s%s",
               SetupScript.InstallBasePath, SetupScript.MUSTMAKEFOLDER);
}
