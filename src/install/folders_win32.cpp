#include "install/folders.h"

#include "common/link_guard.h"
#include "common/folder_forms.h"
#include "common/path_rules.h"
#include "common/program_files.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "common/folder_levels.h"
#include "install/install_journal.h"
#include "install/install_layout.h"
#include "script/setup_model.h"
#include "uninstall/uninstall_paths.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

static char WriteRoot[PathWidth];
// A level made that is no real folder right after (a link put in its place).
static bool LinkMet;

// One level, with default security. A level that this call made goes into
// the installation's journal, and must be a real folder right after.
static bool MakeOneFolder(const char* path)
{
    if (!SysCreateFolder(path)) {
        LogFolderNotMade(path);
        return false;
    }
    LogLine("Make folder %s: done", path);
    JournalNewFolder(path);
    if (!SysIsRealFolder(path))
        LinkMet = true;
    return true;
}

void LogFolderNotMade(const char* path)
{
    const DWORD error = GetLastError();
    // The levels that are there already (the drive, the parent) are no
    // failure, and no event of this run.
    if (LogIsOpen() && !SysIsRealFolder(path))
        LogSystemError(error, "Make folder %s", path);
    SetLastError(error);
}

int CreateFolderPath(const char* path)
{
    return ForEachFolderLevel(
        path, [](const char* level, void*) { MakeOneFolder(level); }, nullptr);
}

const char* InstallWriteRoot()
{
    return WriteRoot[0] != '\0' ? WriteRoot : SetupScript.InstallFolder;
}

int MakeInstallFolders()
{
    LinkMet = false;
    WriteRoot[0] = '\0';
    ForEachFolderLevel(
        SetupScript.InstallFolder,
        [](const char* level, void*) {
            if (MakeOneFolder(level) && WriteRoot[0] == '\0')
                CopyText(WriteRoot, level);
        },
        nullptr);
    CutTrailingBackslash(WriteRoot);
    // From here on the journal lives in the install folder; without it the
    // copy makes no file it could not take back.
    JournalOpenFile();
    for (int i = 0; i < MaxMakeFolders && SetupScript.MAKEFOLDER[i][0] != '\0'; ++i) {
        const char* name = SetupScript.MAKEFOLDER[i];
        // A folder of the script never lies outside the install folder.
        if (!IsContainedRelativePath(name))
            continue;
        char path[PathWidth];
        if (!JoinPath(path, SetupScript.InstallFolder, name) || !CreateFolderPath(path))
            return 0;
    }
    if (!MakeSaveFolder(SetupScript.BRANDFOLDER, SetupScript.SAVEFOLDER) || LinkMet)
        return 0;
    return WriteInstallIni();
}

enum SavePlace { SaveInInstall, SaveInLocal, SaveNowhere };

static SavePlace ChooseSavePlace(char* localFolder)
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version))
        return SaveInInstall;
    // Every program-files folder of the machine, in the same full, long
    // form as the install folder.
    char programFiles[MaxProgramFilesFolders][PathWidth] = {};
    const int count = ReadProgramFilesFolders(programFiles, MaxProgramFilesFolders);
    const char* folders[MaxProgramFilesFolders];
    for (int i = 0; i < count; ++i)
        folders[i] = programFiles[i];
    char installFolder[PathWidth] = {};
    if (!SysGetFullLongPath(SetupScript.InstallFolder, installFolder) ||
        !SaveGoesToLocalAppData(version.dwPlatformId, version.dwMajorVersion, folders, count,
                                installFolder))
        return SaveInInstall;
    if (SysGetSpecialFolder(CSIDL_LOCAL_APPDATA, localFolder, PathWidth))
        return SaveInLocal;
    // A local folder no 932 path names (a profile with "ë", and no short
    // form) gets no save folder, rather than one the game would not look in.
    return SysTextHadNoForm() ? SaveNowhere : SaveInInstall;
}

int MakeSaveFolder(const char* brandFolder, const char* saveFolderName)
{
    char localFolder[PathWidth] = {};
    const SavePlace place = ChooseSavePlace(localFolder);
    const bool local = place == SaveInLocal;
    // The same two places the uninstall will accept, and only those: a level
    // that would leave its parent makes no save folder at all.
    SaveFolders folders;
    ComposeSaveFolders(SetupScript.InstallFolder, local ? localFolder : "", brandFolder,
                       SetupScript.APPLITITLE, saveFolderName, &folders);
    if (place == SaveNowhere) {
        SetupScript.SavePath[0] = '\0';
    } else if (local) {
        CopyText(SetupScript.SavePath, folders.Local);
        // No level is made through a link of the player's profile.
        for (int i = 0; i < folders.LocalLevelCount; ++i) {
            if (SysFindLink(folders.LocalLevels[0], folders.LocalLevels[i]))
                return 0;
            MakeOneFolder(folders.LocalLevels[i]);
        }
    } else {
        CopyText(SetupScript.SavePath, folders.InInstall);
        // An empty SAVEFOLDER keeps the save data in the install folder itself.
        if (saveFolderName[0] != '\0' && SetupScript.SavePath[0] != '\0')
            MakeOneFolder(SetupScript.SavePath);
    }
    if (SetupScript.SavePath[0] == '\0')
        return 0;
    const DWORD attributes = SysGetFileAttributes(SetupScript.SavePath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int WriteInstallIni()
{
    char fileName[PathWidth];
    char text[PathWidth + 8];
    if (!JoinPath(fileName, SetupScript.InstallFolder, "Install.ini") ||
        SysFindLink(InstallWriteRoot(), fileName) ||
        !ComposeInstallIniText(text, sizeof text, SetupScript.SavePath) ||
        !JournalNewFile(fileName))
        return 0;
    return WriteTextFile(fileName, text);
}

int WriteTextFile(const char* fileName, const char* text)
{
    HANDLE file = SysCreateFile(fileName, GENERIC_WRITE, FILE_SHARE_WRITE, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
    if (file == INVALID_HANDLE_VALUE) {
        LogResult(false, "Write file %s", fileName);
        return 0;
    }
    const DWORD length = static_cast<DWORD>(strlen(text));
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text, length, &written, nullptr);
    LogResult(ok && written == length, "Write file %s", fileName);
    CloseHandle(file);
    return ok && written == length ? 1 : 0;
}
