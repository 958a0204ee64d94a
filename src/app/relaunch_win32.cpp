#include "app/relaunch.h"
#include "app/app_shell.h"
#include "app/relaunch_folder.h"
#include "app/wininit_text.h"

#include "common/run_switches.h"
#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <sddl.h>
#include <wincrypt.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>

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

namespace {

// The relaunch folder of this instance, once it has one: the one it runs
// from, or the one a reload in place made. Its handle is held open without
// delete sharing, so that nobody renames the folder and puts another of
// the same name in its place while the program uses it.
struct RelaunchPlace {
    char Folder[MAX_PATH];
    bool Own;  // the program runs from it
    HANDLE Held;
};
RelaunchPlace Place = {{}, false, INVALID_HANDLE_VALUE};

template <typename Function>
Function AdvapiFunction(const char* name)
{
    HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
    return advapi != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(
                                   GetProcAddress(advapi, name)))
                             : nullptr;
}

// Bytes of the system's random source: RtlGenRandom (XP and later), else
// the crypto provider (NT 4, 95 with its update). Without either no name
// is unguessable, and the program runs in place.
bool FillRandom(uint8_t* bytes, ULONG count)
{
    using GenRandom = BOOLEAN(WINAPI*)(PVOID, ULONG);
    if (auto generate = AdvapiFunction<GenRandom>("SystemFunction036"))
        if (generate(bytes, count))
            return true;
    using Acquire = BOOL(WINAPI*)(HCRYPTPROV*, LPCWSTR, LPCWSTR, DWORD, DWORD);
    using Generate = BOOL(WINAPI*)(HCRYPTPROV, DWORD, BYTE*);
    using Release = BOOL(WINAPI*)(HCRYPTPROV, DWORD);
    auto acquire = AdvapiFunction<Acquire>("CryptAcquireContextW");
    auto generate = AdvapiFunction<Generate>("CryptGenRandom");
    auto release = AdvapiFunction<Release>("CryptReleaseContext");
    HCRYPTPROV provider = 0;
    if (!acquire || !generate || !release ||
        !acquire(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
        return false;
    const bool made = generate(provider, count, bytes) != FALSE;
    release(provider, 0);
    return made;
}

// True when the process acts with the Administrators group: elevated, or
// an administrator of a system without UAC. A filtered token holds the
// group for denials only, and is no member.
bool ActsAsAdministrators()
{
    struct {
        BYTE Revision;
        BYTE SubAuthorityCount;
        SID_IDENTIFIER_AUTHORITY Authority;
        DWORD SubAuthority[2];
    } administrators = {SID_REVISION, 2, SECURITY_NT_AUTHORITY,
                        {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}};
    using CheckMembership = BOOL(WINAPI*)(HANDLE, PSID, PBOOL);
    auto check = AdvapiFunction<CheckMembership>("CheckTokenMembership");
    BOOL member = FALSE;
    return check && check(nullptr, &administrators, &member) && member;
}

}  // namespace

PSECURITY_DESCRIPTOR MakeRelaunchFolderSecurity()
{
    using ConvertSddl = BOOL(WINAPI*)(LPCWSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
    auto convert = AdvapiFunction<ConvertSddl>("ConvertStringSecurityDescriptorToSecurityDescriptorW");
    if (!convert)
        return nullptr;
    // Administrators and the system may write into the folder; users may
    // read and run what is in it. The owner's implicit right to change that
    // goes where the system knows the owner-rights entry (Vista on).
    static const wchar_t* const Forms[] = {
        L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;GRGX;;;BU)(A;OICI;GRGX;;;OW)",
        L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;GRGX;;;BU)",
    };
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    for (const wchar_t* form : Forms)
        if (convert(form, SDDL_REVISION_1, &descriptor, nullptr))
            return descriptor;
    return nullptr;
}

bool MakeRelaunchFolder(char* folder, size_t size)
{
    char temp[MAX_PATH];
    if (size > 0)
        folder[0] = '\0';
    if (!GetTemporaryFolder(temp, sizeof temp))
        return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ActsAsAdministrators()) {
        descriptor = MakeRelaunchFolderSecurity();
        // An elevated program gets its folder closed to others, or none.
        if (descriptor == nullptr)
            return false;
    }
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
    bool made = false;
    // A name taken already is somebody's: another name, never that folder.
    for (int attempt = 0; attempt < 8 && !made; ++attempt) {
        uint8_t random[RelaunchRandomBytes];
        if (!FillRandom(random, sizeof random) ||
            !FormatRelaunchFolder(folder, size, temp, random))
            break;
        made = SysCreateFolderWith(folder, descriptor ? &security : nullptr);
        if (!made && GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    if (descriptor != nullptr)
        LocalFree(descriptor);
    if (!made && size > 0)
        folder[0] = '\0';
    return made;
}

namespace {

// A handle on the folder that keeps it from being renamed or removed, or
// INVALID_HANDLE_VALUE when the folder is no real folder (a link put in
// its place) or cannot be opened.
HANDLE HoldFolder(const char* folder)
{
    HANDLE held = SysCreateFile(folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
    BY_HANDLE_FILE_INFORMATION information;
    if (held != INVALID_HANDLE_VALUE &&
        (!GetFileInformationByHandle(held, &information) ||
         (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
         !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))) {
        CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
    }
    return held;
}

// The relaunch's files in `folder` and the folder itself, at once.
void RemoveRelaunchFiles(const char* folder, const char* program)
{
    char path[MAX_PATH];
    for (const char* name : {program, ScriptFileName, ArchiveFileName})
        if (name != nullptr && JoinPath(path, folder, name))
            SysDeleteFile(path);
    SysRemoveFolder(folder);
}

}  // namespace

int RelaunchFromTemp(char letter, PROCESS_INFORMATION* process)
{
    memset(process, 0, sizeof *process);
    const char* source = SetupScript.SourceFolder;
    char folder[MAX_PATH];
    if (source[0] == '\0' || !MakeRelaunchFolder(folder, sizeof folder))
        return 0;
    HANDLE heldFolder = HoldFolder(folder);
    char from[MAX_PATH];
    char program[MAX_PATH];
    // The program starts only the copy it writes now into its own new
    // folder, never a file that was there before it.
    const bool copied = heldFolder != INVALID_HANDLE_VALUE &&
                        JoinPath(from, source, SetupScript.ModuleName) &&
                        JoinPath(program, folder, SetupScript.ModuleName) &&
                        SysCopyFile(from, program, true);
    if (copied) {
        // Files copied from a CD-ROM arrive read-only.
        ClearReadOnly(program);
        CopyToFolder(ScriptFileName, source, folder);
        CopyToFolder(ArchiveFileName, source, folder);
    }
    // Nobody changes the program file between its copy and its start.
    HANDLE heldProgram = copied ? SysCreateFile(program, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                                               FILE_FLAG_OPEN_REPARSE_POINT)
                               : INVALID_HANDLE_VALUE;
    // Quoted, so that a temporary folder with blanks still hands the copy its
    // letter as the first character after the program name.
    // The run's switches follow the letter, for the copy to read them again.
    char switches[2 * MAX_PATH + 160] = {};
    char commandLine[MAX_PATH + sizeof switches + 8];
    const bool ready = heldProgram != INVALID_HANDLE_VALUE &&
            (!ActiveSwitches.Any || FormatRunSwitches(ActiveSwitches, switches, sizeof switches)) &&
            FormatText(commandLine, sizeof commandLine, "\"%s\" %c%s%s", program, letter,
                       switches[0] != '\0' ? " " : "", switches);
    bool started = false;
    if (ready) {
        ReleaseInstanceMutex();
        // The copy starts in this instance's current folder, the one start-up chose.
        started = SysCreateProcess(program, commandLine, CREATE_DEFAULT_ERROR_MODE, nullptr, process);
    }
    if (heldProgram != INVALID_HANDLE_VALUE)
        CloseHandle(heldProgram);
    if (heldFolder != INVALID_HANDLE_VALUE)
        CloseHandle(heldFolder);
    // A copy that does not run leaves nothing behind: this instance goes on
    // in place.
    if (!started)
        RemoveRelaunchFiles(folder, copied ? SetupScript.ModuleName : nullptr);
    return started ? 1 : 0;
}

bool TakeOwnRelaunchFolder()
{
    char own[MAX_PATH];
    char temp[MAX_PATH];
    if (Place.Folder[0] != '\0' || !GetProgramFolder(own, sizeof own) ||
        !GetTemporaryFolder(temp, sizeof temp) || !IsRelaunchFolder(own, temp))
        return false;
    HANDLE held = HoldFolder(own);
    if (held == INVALID_HANDLE_VALUE)
        return false;
    CutTrailingBackslash(own);
    CopyText(Place.Folder, own);
    Place.Own = true;
    Place.Held = held;
    return true;
}

bool GetWorkFolder(char* folder, size_t size)
{
    if (Place.Folder[0] == '\0') {
        char made[MAX_PATH];
        if (!MakeRelaunchFolder(made, sizeof made))
            return false;
        HANDLE held = HoldFolder(made);
        if (held == INVALID_HANDLE_VALUE) {
            SysRemoveFolder(made);
            return false;
        }
        CopyText(Place.Folder, made);
        Place.Own = false;
        Place.Held = held;
    }
    return CopyText(folder, size, Place.Folder);
}

void CleanUpTemp()
{
    // Only the relaunch folder is cleared: a program run with its letter
    // from anywhere else deletes nothing, and its program file stays.
    if (Place.Folder[0] == '\0')
        return;
    if (Place.Held != INVALID_HANDLE_VALUE)
        CloseHandle(Place.Held);
    Place.Held = INVALID_HANDLE_VALUE;
    RemoveRelaunchFiles(Place.Folder, nullptr);
    if (!Place.Own)
        return;
    ScheduleSelfRemoval();
    // The folder goes after the program file, at the same next start; the
    // delayed moves run in the order they were asked for.
    if (!SysRemoveFolder(Place.Folder))
        SysScheduleDeletion(Place.Folder);
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
