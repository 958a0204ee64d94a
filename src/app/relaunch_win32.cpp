#include "app/relaunch.h"
#include "app/app_shell.h"
#include "app/wininit_text.h"

#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <cstdlib>
#include <cstring>

static void ClearReadOnly(const char* path)
{
    const DWORD attributes = SysGetFileAttributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SysSetFileAttributes(path, attributes & ~FILE_ATTRIBUTE_READONLY);
}

int CopyToFolder(const char* name, const char* fromFolder, const char* toFolder)
{
    char source[MAX_PATH];
    char destination[MAX_PATH];
    if (!JoinPath(source, fromFolder, name) || !JoinPath(destination, toFolder, name))
        return 0;
    ClearReadOnly(destination);
    if (!SysCopyFile(source, destination, false))
        return 0;
    // Files copied from a CD-ROM arrive read-only.
    ClearReadOnly(destination);
    return 1;
}

bool GetTemporaryFolder(char* folder, DWORD size)
{
    if (!SysGetTempFolder(folder, size) || !EndsWithBackslash(folder)) {
        if (size > 0)
            folder[0] = '\0';
        return false;
    }
    return true;
}

bool GetProgramFolder(char* folder, DWORD size)
{
    if (!SysGetModulePath(folder, size))
        return false;
    // The last separator, not a 0x5C trail byte of a name such as "表".
    char* last = const_cast<char*>(FindLastBackslash(folder));
    if (!last) {
        folder[0] = '\0';
        return false;
    }
    last[1] = '\0';
    return true;
}

int RelaunchFromTemp(char letter, PROCESS_INFORMATION* process)
{
    memset(process, 0, sizeof *process);
    const char* source = SetupScript.SourceFolder;
    char temp[MAX_PATH];
    if (source[0] == '\0' || !GetTemporaryFolder(temp, sizeof temp))
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
    // The copy starts in this instance's current folder, the one start-up chose.
    return SysCreateProcess(program, commandLine, CREATE_DEFAULT_ERROR_MODE, nullptr, process) ? 1
                                                                                                : 0;
}

void CleanUpTemp()
{
    char temp[MAX_PATH];
    if (GetTemporaryFolder(temp, sizeof temp)) {
        char path[MAX_PATH];
        if (JoinPath(path, temp, ScriptFileName))
            SysDeleteFile(path);
        if (JoinPath(path, temp, ArchiveFileName))
            SysDeleteFile(path);
    }
    ScheduleSelfRemoval();
}

// Windows 95/98 have no delayed move; their start-up reads WININIT.INI.
// The entry holds the path's 932 bytes: the temporary folder of such a
// system is in its own code page, which for anything but plain ASCII names
// only a Japanese one shares.
static void AddToWininit(const char* program)
{
    char windows[MAX_PATH];
    if (!SysGetWindowsFolder(windows, sizeof windows))
        return;
    CutTrailingBackslash(windows);
    char ini[MAX_PATH];
    if (!FormatText(ini, sizeof ini, "%s\\WININIT.INI", windows))
        return;

    HANDLE file = SysCreateFile(ini, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL);
    const bool exists = file != INVALID_HANDLE_VALUE;
    if (exists)
        CloseHandle(file);

    if (!exists) {
        file = SysCreateFile(ini, GENERIC_WRITE, FILE_SHARE_WRITE, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL);
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

    file = SysCreateFile(ini, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
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
    if (!SysGetModulePath(program, sizeof program))
        return;
    if (SysScheduleDeletion(program))
        return;
    AddToWininit(program);
}
