// Deleting listed files and folders below a root, and the removal of an
// installation's files that the uninstall and the copy worker share.
#include "uninstall/uninstall.h"
#include "uninstall/uninstall_paths.h"

#include "common/link_guard.h"
#include "common/path_rules.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <windows.h>

int DeleteFileTolerant(const char* path)
{
    const bool removed = SysDeleteFile(path);
    LogResult(removed, "Remove file %s", path);
    if (removed)
        return 1;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 1 : 0;
}

int RemoveFolderTolerant(const char* path)
{
    const bool removed = SysRemoveFolder(path);
    LogResult(removed, "Remove folder %s", path);
    if (removed)
        return 1;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 1 : 0;
}

static int DeleteMatches(const char* root, const char* name)
{
    char folderPart[PathWidth];
    char pattern[PathWidth];
    if (!FolderPartOf(name, folderPart, sizeof folderPart) ||
        !BuildContainedPath(pattern, sizeof pattern, root, name))
        return 0;
    // A folder reached through a link lists somebody else's files.
    if (!SysReachedWithoutLink(root, pattern)) {
        LogLine("Remove files %s: passed over, reached through a link", pattern);
        return 1;
    }
    SysFindData found;
    HANDLE search = SysFindFirst(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 1;  // nothing matches: nothing to delete
    int result = 1;
    do {
        if (found.Attributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        // The search matches short names too ("*.sav" finds the player's
        // memo.save as MEMO~1.SAV): only a long name the pattern matches by
        // the script's own rule goes. One with no 932 form is not ours.
        if (!found.LongName || !ListedPatternNames(name, found.Name))
            continue;
        // A match without a name of ours (no 932 form, no short name) stays.
        char path[PathWidth];
        if (found.Name[0] == '\0' ||
            !BuildMatchPath(path, sizeof path, root, folderPart, found.Name) ||
            !DeleteFileTolerant(path))
            result = 0;
    } while (SysFindNext(search, &found));
    FindClose(search);
    return result;
}

int DeleteListedName(const char* root, const char* name)
{
    if (!IsContainedRelativePath(name))
        return 0;
    if (IsPattern(name))
        return DeleteMatches(root, name);
    char path[PathWidth];
    return BuildContainedPath(path, sizeof path, root, name) && SysDeleteFileBelow(root, path) ? 1 : 0;
}

// Folders the installation made, last to first, so that a folder goes before
// the one that holds it. One that still holds something stays; one that is
// a link now goes as a link.
static int RemoveMadeFolders(const char* root)
{
    int count = 0;
    while (count < MaxMakeFolders && SetupScript.MAKEFOLDER[count][0] != '\0')
        ++count;
    int result = 1;
    for (int i = count - 1; i >= 0; --i) {
        char path[PathWidth];
        if (BuildContainedPath(path, sizeof path, root, SetupScript.MAKEFOLDER[i]))
            SysRemoveFolderBelow(root, path);
        else
            result = 0;
    }
    return result;
}

int RemoveInstalledFiles(int deleteSaveData)
{
    const char* folder = SetupScript.InstallFolder;
    // The install folder comes from the install record, which any user may
    // write: one that is no folder of an installation (a drive root, the
    // Windows folder, a profile) has nothing removed from it at all.
    if (!InstallFolderUsableHere(folder)) {
        LogLine("Remove files: %s is no folder an installation may be removed from", folder);
        return 0;
    }
    int result = deleteSaveData ? RemoveSaveData() : 1;
    // Every disc with files, as the installation copies every disc up to
    // DISCNUM; each list ends at its first empty name, as the copy's does.
    for (int disc = 0; disc < MaxDiscs; ++disc) {
        for (int entry = 0; entry < MaxFilesPerDisc; ++entry) {
            const char* name = SetupScript.DiscFiles[disc][entry].Name;
            if (name == nullptr || name[0] == '\0')
                break;
            if (!DeleteListedName(folder, name))
                result = 0;
        }
    }
    // The current folder was set at start-up to one no installation removes,
    // so every folder of this one can go.
    if (!RemoveMadeFolders(folder))
        result = 0;
    Sleep(100);
    LogResult(SysRemoveFolder(folder), "Remove folder %s", folder);
    return result;
}
