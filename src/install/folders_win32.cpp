#include "install/folders.h"

#include "common/path_rules.h"
#include "common/program_files.h"
#include "common/text.h"
#include "install/folder_levels.h"
#include "install/install_journal.h"
#include "install/install_layout.h"
#include "common/shell_folders.h"
#include "script/setup_model.h"
#include "uninstall/uninstall_paths.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

// One level, with default security and no inherited handle. A level that
// this call made goes into the installation's journal.
static void MakeOneFolder(const char* path)
{
    SECURITY_ATTRIBUTES security = {};
    security.nLength = sizeof security;
    security.lpSecurityDescriptor = nullptr;
    security.bInheritHandle = FALSE;
    if (CreateDirectoryA(path, &security))
        JournalNewFolder(path);
}

int CreateFolderPath(const char* path)
{
    return ForEachFolderLevel(
        path, [](const char* level, void*) { MakeOneFolder(level); }, nullptr);
}

int MakeInstallFolders()
{
    CreateFolderPath(SetupScript.InstallFolder);
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
    if (!MakeSaveFolder(SetupScript.BRANDFOLDER, SetupScript.SAVEFOLDER))
        return 0;
    return WriteInstallIni();
}

static bool UseLocalAppData(char* localFolder)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return false;
    char programFiles[PathWidth];
    const bool read = ReadProgramFilesDir(programFiles, sizeof programFiles);
    return SaveGoesToLocalAppData(version.dwPlatformId, version.dwMajorVersion,
                                  read ? programFiles : nullptr, SetupScript.InstallFolder) &&
           GetSpecialFolderPath(CSIDL_LOCAL_APPDATA, localFolder);
}

int MakeSaveFolder(const char* brandFolder, const char* saveFolderName)
{
    char localFolder[PathWidth] = {};
    const bool local = UseLocalAppData(localFolder);
    // The same two places the uninstall will accept, and only those: a level
    // that would leave its parent makes no save folder at all.
    SaveFolders folders;
    ComposeSaveFolders(SetupScript.InstallFolder, local ? localFolder : "", brandFolder,
                       SetupScript.APPLITITLE, saveFolderName, &folders);
    if (local) {
        CopyText(SetupScript.SavePath, folders.Local);
        for (int i = 0; i < folders.LocalLevelCount; ++i)
            MakeOneFolder(folders.LocalLevels[i]);
    } else {
        CopyText(SetupScript.SavePath, folders.InInstall);
        // An empty SAVEFOLDER keeps the save data in the install folder itself.
        if (saveFolderName[0] != '\0' && SetupScript.SavePath[0] != '\0')
            MakeOneFolder(SetupScript.SavePath);
    }
    if (SetupScript.SavePath[0] == '\0')
        return 0;
    const DWORD attributes = GetFileAttributesA(SetupScript.SavePath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int WriteInstallIni()
{
    char fileName[PathWidth];
    char text[PathWidth + 8];
    if (!JoinPath(fileName, SetupScript.InstallFolder, "Install.ini") ||
        !ComposeInstallIniText(text, sizeof text, SetupScript.SavePath) ||
        !JournalNewFile(fileName))
        return 0;
    return WriteTextFile(fileName, text);
}

int WriteTextFile(const char* fileName, const char* text)
{
    HANDLE file = CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    const DWORD length = static_cast<DWORD>(strlen(text));
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text, length, &written, nullptr);
    CloseHandle(file);
    return ok && written == length ? 1 : 0;
}
