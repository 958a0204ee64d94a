#include "install/folders.h"

#include "common/path_rules.h"
#include "common/program_files.h"
#include "common/text.h"
#include "install/folder_levels.h"
#include "install/install_layout.h"
#include "install/shell_folders.h"
#include "script/setup_model.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

// One level, with default security and no inherited handle.
static void MakeOneFolder(const char* path)
{
    SECURITY_ATTRIBUTES security = {};
    security.nLength = sizeof security;
    security.lpSecurityDescriptor = nullptr;
    security.bInheritHandle = FALSE;
    CreateDirectoryA(path, &security);
}

int CreateFolderPath(const char* path)
{
    return ForEachFolderLevel(
        path, [](const char* level, void*) { MakeOneFolder(level); }, nullptr);
}

int MakeInstallFolders()
{
    CreateFolderPath(SetupScript.InstallFolder);
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

// Appends one level to the save path and makes it. A name that would leave
// its parent, or a path that does not fit, leaves SavePath empty.
static bool AddSaveLevel(const char* name)
{
    if (!IsContainedRelativePath(name) ||
        !JoinPath(SetupScript.SavePath, SetupScript.SavePath, name)) {
        SetupScript.SavePath[0] = '\0';
        return false;
    }
    MakeOneFolder(SetupScript.SavePath);
    return true;
}

int MakeSaveFolder(const char* brandFolder, const char* saveFolderName)
{
    char localFolder[PathWidth] = {};
    if (UseLocalAppData(localFolder)) {
        CopyText(SetupScript.SavePath, localFolder);
        if (AddSaveLevel(brandFolder) && AddSaveLevel(SetupScript.APPLITITLE))
            AddSaveLevel(saveFolderName);
    } else {
        CopyText(SetupScript.SavePath, SetupScript.InstallFolder);
        AddSaveLevel(saveFolderName);
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
        !ComposeInstallIniText(text, sizeof text, SetupScript.SavePath))
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
