#include "app/relaunch.h"
#include "app/app_shell.h"
#include "app/wininit_text.h"

#include "common/text.h"
#include "script/setup_model.h"

#include <cstdlib>
#include <cstring>

static void ClearReadOnly(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
}

int CopyToFolder(const char* name, const char* fromFolder, const char* toFolder)
{
    char source[MAX_PATH];
    char destination[MAX_PATH];
    if (!JoinPath(source, fromFolder, name) || !JoinPath(destination, toFolder, name))
        return 0;
    ClearReadOnly(destination);
    if (!CopyFileA(source, destination, FALSE))
        return 0;
    // Files copied from a CD-ROM arrive read-only.
    ClearReadOnly(destination);
    return 1;
}

bool GetTemporaryFolder(char* folder, DWORD size)
{
    const DWORD length = GetTempPathA(size, folder);
    if (length == 0 || length >= size) {
        folder[0] = '\0';
        return false;
    }
    return true;
}

// Drive and folder of the running program, with its trailing backslash.
static bool GetProgramFolder(char* folder, DWORD size)
{
    const DWORD length = GetModuleFileNameA(nullptr, folder, size);
    if (length == 0 || length >= size)
        return false;
    char* last = const_cast<char*>(FindLastBackslash(folder));
    if (!last)
        return false;
    last[1] = '\0';
    return true;
}

int RelaunchFromTemp(char letter, PROCESS_INFORMATION* process)
{
    char source[MAX_PATH];
    char temp[MAX_PATH];
    if (!GetProgramFolder(source, sizeof source) || !GetTemporaryFolder(temp, sizeof temp))
        return 0;
    CopyToFolder(SetupScript.ModuleName, source, temp);
    CopyToFolder(ScriptFileName, source, temp);
    CopyToFolder(ArchiveFileName, source, temp);

    char program[MAX_PATH];
    if (!JoinPath(program, temp, SetupScript.ModuleName))
        return 0;
    // Quoted, so that a temporary folder with blanks still hands the copy its
    // letter as the first character after the program name.
    char commandLine[MAX_PATH + 8];
    if (!FormatText(commandLine, sizeof commandLine, "\"%s\" %c", program, letter))
        return 0;

    ReleaseInstanceMutex();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    memset(process, 0, sizeof *process);
    return CreateProcessA(program, commandLine, nullptr, nullptr, FALSE,
                          CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup, process) != 0;
}

void CleanUpTemp()
{
    char temp[MAX_PATH];
    if (GetTemporaryFolder(temp, sizeof temp)) {
        char path[MAX_PATH];
        if (JoinPath(path, temp, ScriptFileName))
            DeleteFileA(path);
        if (JoinPath(path, temp, ArchiveFileName))
            DeleteFileA(path);
    }
    ScheduleSelfRemoval();
}

// Windows 95/98 have no delayed move; their start-up reads WININIT.INI.
static void AddToWininit(const char* program)
{
    char windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return;
    CutTrailingBackslash(windows);
    char ini[MAX_PATH];
    if (!FormatText(ini, sizeof ini, "%s\\WININIT.INI", windows))
        return;

    HANDLE file = CreateFileA(ini, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool exists = file != INVALID_HANDLE_VALUE;
    if (exists)
        CloseHandle(file);

    if (!exists) {
        file = CreateFileA(ini, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        char text[MAX_PATH + 32];
        const size_t size = MakeWininitText(program, text, sizeof text);
        DWORD written;
        if (size > 0)
            WriteFile(file, text, static_cast<DWORD>(size), &written, nullptr);
        CloseHandle(file);
        return;
    }

    file = CreateFileA(ini, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    // An INI file of the Windows folder is small; a huge one is not ours to load.
    const DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE || size > 16u * 1024 * 1024) {
        CloseHandle(file);
        return;
    }
    const size_t capacity = size + strlen(program) + WininitEntryOverhead;
    char* text = static_cast<char*>(calloc(1, size + 276));
    char* edited = static_cast<char*>(calloc(1, capacity));
    DWORD read = 0;
    if (text && edited && ReadFile(file, text, size, &read, nullptr) && read == size) {
        const size_t length = AddWininitEntry(text, size, program, edited, capacity);
        DWORD written;
        if (length > 0 && SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0)
            WriteFile(file, edited, static_cast<DWORD>(length), &written, nullptr);
    }
    free(edited);
    free(text);
    CloseHandle(file);
}

void ScheduleSelfRemoval()
{
    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program)
        return;
    if (MoveFileExA(program, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        return;
    AddToWininit(program);
}
