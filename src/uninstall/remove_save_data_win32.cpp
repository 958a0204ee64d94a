#include "uninstall/uninstall.h"
#include "uninstall/uninstall_paths.h"

#include "common/path_rules.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <windows.h>

// Folders that SAVEDATA entries name below the save folder ("slot\*.sav"),
// deepest level first; each goes only when the deletions left it empty.
static void RemoveEntryFolders(const char* savePath)
{
    for (int i = 0; i < MaxSaveData && SetupScript.SAVEDATA[i][0] != '\0'; ++i) {
        char part[PathWidth];
        if (!IsContainedRelativePath(SetupScript.SAVEDATA[i]) ||
            !FolderPartOf(SetupScript.SAVEDATA[i], part, sizeof part))
            continue;
        while (part[0] != '\0') {
            char path[PathWidth];
            if (BuildContainedPath(path, sizeof path, savePath, part))
                RemoveDirectoryA(path);
            char outer[PathWidth];
            FolderPartOf(part, outer, sizeof outer);
            CopyText(part, outer);
        }
    }
}

// The save folder, then the APPLITITLE and BRANDFOLDER levels that enclose
// it under the local application data folder; each only when empty.
static void RemoveSaveFolders(const char* savePath, bool fromIni)
{
    if (!RemoveFolderTolerant(savePath) || !fromIni)
        return;
    char enclosing[PathWidth];
    CopyText(enclosing, savePath);
    if (CutEnclosingLevel(enclosing, SetupScript.SAVEFOLDER) &&
        RemoveFolderTolerant(enclosing) && CutEnclosingLevel(enclosing, SetupScript.APPLITITLE))
        RemoveFolderTolerant(enclosing);
}

int RemoveSaveData()
{
    const bool fromIni = FindSaveFolder() != 0;
    SetCurrentDirectoryA(SetupScript.InstallFolder);
    const char* savePath = SetupScript.SavePath;
    if (savePath[0] == '\0')
        return 0;
    int result = 1;
    for (int i = 0; i < MaxSaveData && SetupScript.SAVEDATA[i][0] != '\0'; ++i) {
        if (!DeleteListedName(savePath, SetupScript.SAVEDATA[i]))
            result = 0;
    }
    RemoveEntryFolders(savePath);
    RemoveSaveFolders(savePath, fromIni);
    if (fromIni) {
        char iniPath[PathWidth];
        if (!JoinPath(iniPath, SetupScript.InstallFolder, "Install.ini") ||
            !DeleteFileTolerant(iniPath))
            return 0;
    }
    return result;
}
