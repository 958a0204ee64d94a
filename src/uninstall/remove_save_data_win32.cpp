#include "uninstall/uninstall.h"
#include "uninstall/uninstall_paths.h"

#include "common/link_guard.h"
#include "common/folder_forms.h"
#include "common/path_rules.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <windows.h>
#include <shlobj.h>

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
                SysRemoveFolderBelow(savePath, path);
            char outer[PathWidth];
            FolderPartOf(part, outer, sizeof outer);
            CopyText(part, outer);
        }
    }
}

// The save folder and, below the local application data, the levels that
// enclose it (APPLITITLE, BRANDFOLDER), deepest first; each only when empty.
// A save folder that is the install folder itself is left to the removal of
// the install folder.
static void RemoveSaveFolders(const SaveFolders& folders, SaveFolderKind kind)
{
    // A level that is a link goes as a link; nothing goes through one.
    if (kind == SaveFolderInInstall) {
        if (SetupScript.SAVEFOLDER[0] != '\0')
            SysRemoveFolderBelow(SetupScript.InstallFolder, folders.InInstall);
        return;
    }
    for (int i = folders.LocalLevelCount - 1; i >= 0; --i)
        if (!SysRemoveFolderBelow(folders.LocalLevels[0], folders.LocalLevels[i]))
            return;
}

int RemoveSaveData()
{
    const bool fromIni = FindSaveFolder() != 0;
    // Install.ini lies in a folder any user may write: save data go only from
    // one of the two folders the installation itself can have made.
    // Without a 932 path of the local application data (nor a short form)
    // only the save folder in the install folder can be told.
    char local[PathWidth] = {};
    SysGetSpecialFolder(CSIDL_LOCAL_APPDATA, local);
    SaveFolders folders;
    ComposeSaveFolders(SetupScript.InstallFolder, local, SetupScript.BRANDFOLDER,
                       SetupScript.APPLITITLE, SetupScript.SAVEFOLDER, &folders);
    // Compared in their full, long forms, so that a short or odd spelling
    // in Install.ini is told for the folder it names; the removal then works
    // on the candidate's own path, never on the file's text.
    SaveFolders longForms = {};
    char savePathLong[PathWidth] = {};
    if (!SysGetFullLongPath(SetupScript.SavePath, savePathLong))
        return 0;
    if (folders.InInstall[0] != '\0' && !SysGetFullLongPath(folders.InInstall, longForms.InInstall))
        longForms.InInstall[0] = '\0';
    if (folders.Local[0] != '\0' && !SysGetFullLongPath(folders.Local, longForms.Local))
        longForms.Local[0] = '\0';
    const SaveFolderKind kind = ClassifySaveFolder(savePathLong, longForms);
    if (kind == SaveFolderNone) {
        LogLine("Save data in %s kept: no save folder the installation made", SetupScript.SavePath);
        return 0;
    }
    const char* savePath = kind == SaveFolderInInstall ? folders.InInstall : folders.Local;
    int result = 1;
    // The save folder reached through a link, or one itself, holds somebody
    // else's files: none of them goes.
    const char* base = kind == SaveFolderLocal ? folders.LocalLevels[0] : SetupScript.InstallFolder;
    const bool linked = SysFindLink(base, savePath);
    LogLine("Remove the save data in %s%s", savePath, linked ? ": kept, reached through a link" : "");
    if (!linked) {
        for (int i = 0; i < MaxSaveData && SetupScript.SAVEDATA[i][0] != '\0'; ++i) {
            if (!DeleteListedName(savePath, SetupScript.SAVEDATA[i]))
                result = 0;
        }
        RemoveEntryFolders(savePath);
    }
    RemoveSaveFolders(folders, kind);
    if (fromIni) {
        char iniPath[PathWidth];
        if (!JoinPath(iniPath, SetupScript.InstallFolder, "Install.ini") ||
            !SysDeleteFileBelow(SetupScript.InstallFolder, iniPath))
            return 0;
    }
    return result;
}
