// Finding the save folder again: portable, since it only reads a file.
#include "uninstall/uninstall.h"
#include "uninstall/uninstall_paths.h"

#include "archive/pak.h"
#include "common/text.h"
#include "script/setup_model.h"

static const char InstallIniName[] = "Install.ini";

// "save=" and a path that fits the 260-byte SavePath: nothing past these
// bytes can change the outcome, so a large file is never read whole.
static constexpr uint32_t InstallIniUsefulBytes = 5 + PathWidth;

static bool ReadSavePathFromIni()
{
    char iniPath[PathWidth];
    if (!JoinPath(iniPath, SetupScript.InstallFolder, InstallIniName) ||
        !IsRemovalRoot(SetupScript.InstallFolder))
        return false;
    PakFile* file = PakOpen(iniPath, nullptr);
    if (file == nullptr)
        return false;
    char bytes[InstallIniUsefulBytes] = {};
    uint32_t length = PakGetSize(file);
    if (length > sizeof bytes)
        length = sizeof bytes;
    const bool read = PakReadPart(file, bytes, 0, length) && file->Delivered == length;
    PakClose(file);
    return read &&
           ParseInstallIni(bytes, length, SetupScript.SavePath, sizeof SetupScript.SavePath);
}

int FindSaveFolder()
{
    if (ReadSavePathFromIni())
        return 1;
    BuildDefaultSavePath(SetupScript.SavePath, sizeof SetupScript.SavePath,
                         SetupScript.InstallFolder, SetupScript.SAVEFOLDER);
    return 0;
}
