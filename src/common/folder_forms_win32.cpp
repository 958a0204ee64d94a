#include "common/folder_forms.h"

#include "common/cp932.h"
#include "common/system_text.h"
#include "common/text.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>

namespace {

constexpr DWORD WideChars = 1024;

using GetLongPathNameWFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);
using GetFinalPathNameByHandleWFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

// Looked up at run time: Windows 95 and NT 4 have no long-name call, and
// nothing before Vista has the final path through a handle.
template <typename Fn>
Fn KernelFunction(const char* name)
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, name)))
                             : nullptr;
}

bool Exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// "\\?\C:\x" as "C:\x", "\\?\UNC\server\share" as "\\server\share".
void DropLongPrefix(wchar_t* path)
{
    if (wcsncmp(path, L"\\\\?\\UNC\\", 8) == 0) {
        memmove(path + 2, path + 8, (wcslen(path + 8) + 1) * sizeof(wchar_t));
    } else if (wcsncmp(path, L"\\\\?\\", 4) == 0) {
        memmove(path, path + 4, (wcslen(path + 4) + 1) * sizeof(wchar_t));
    }
}

// The final path of an existing file or folder, in place; unchanged where
// the system has no such call or cannot open it.
void ToFinalPath(wchar_t* path)
{
    static const GetFinalPathNameByHandleWFn finalPath =
        KernelFunction<GetFinalPathNameByHandleWFn>("GetFinalPathNameByHandleW");
    if (finalPath == nullptr)
        return;
    // No access asked for: only the name is wanted, and a folder opens so.
    HANDLE handle = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    wchar_t final[WideChars];
    const DWORD n = finalPath(handle, final, WideChars, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(handle);
    if (n == 0 || n >= WideChars)
        return;
    DropLongPrefix(final);
    wcscpy(path, final);
}

void ToLongPath(wchar_t* path)
{
    static const GetLongPathNameWFn longPath = KernelFunction<GetLongPathNameWFn>("GetLongPathNameW");
    if (longPath == nullptr)
        return;
    wchar_t full[WideChars];
    const DWORD n = longPath(path, full, WideChars);
    if (n > 0 && n < WideChars)
        wcscpy(path, full);
}

void CutTrailingSeparator(wchar_t* path)
{
    size_t length = wcslen(path);
    // "C:\" keeps the backslash that makes it the root.
    if (length > 3 && path[length - 1] == L'\\')
        path[length - 1] = 0;
}

}  // namespace

bool SysGetFullLongPath(const char* path, char* out, size_t outBytes)
{
    if (outBytes == 0)
        return false;
    out[0] = '\0';
    char16_t wide[WideChars];
    if (path == nullptr || path[0] == '\0' || !Cp932ToWide(path, wide, WideChars))
        return false;
    wchar_t full[WideChars];
    const DWORD n = GetFullPathNameW(reinterpret_cast<const wchar_t*>(wide), WideChars, full, nullptr);
    if (n == 0 || n >= WideChars)
        return false;
    CutTrailingSeparator(full);
    // The longest part that exists takes its long and final form; the rest,
    // not made yet, has no other.
    wchar_t existing[WideChars];
    wcscpy(existing, full);
    size_t kept = wcslen(existing);
    while (!Exists(existing)) {
        wchar_t* slash = wcsrchr(existing, L'\\');
        if (slash == nullptr || slash - existing < 3) {
            kept = 0;
            break;
        }
        *slash = 0;
        kept = static_cast<size_t>(slash - existing);
    }
    wchar_t result[WideChars];
    if (kept == 0) {
        wcscpy(result, full);
    } else {
        ToLongPath(existing);
        ToFinalPath(existing);
        CutTrailingSeparator(existing);
        if (wcslen(existing) + wcslen(full + kept) >= WideChars)
            return false;
        wcscpy(result, existing);
        wcscat(result, full + kept);
    }
    return SysPathFromWide(result, out, outBytes);
}

namespace {

// One more folder, in its full, long form, unless it is none.
void AddFolder(const char* folder, char (*folders)[260], int capacity, int* count)
{
    if (*count >= capacity || folder[0] == '\0')
        return;
    if (SysGetFullLongPath(folder, folders[*count], 260))
        ++*count;
}

void AddRegistryFolder(REGSAM view, const char* value, char (*folders)[260], int capacity,
                       int* count)
{
    HKEY key;
    if (!SysRegOpenKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                       KEY_READ | view, &key))
        return;
    char folder[MAX_PATH] = {};
    const bool read = SysRegReadPath(key, value, folder, sizeof folder);
    RegCloseKey(key);
    if (read)
        AddFolder(folder, folders, capacity, count);
}

bool RunsUnderWow64()
{
    static const IsWow64ProcessFn isWow64 = KernelFunction<IsWow64ProcessFn>("IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

int ReadProgramFilesFolders(char (*folders)[260], int capacity)
{
    int count = 0;
    AddRegistryFolder(0, "ProgramFilesDir", folders, capacity, &count);
    // The 64-bit view only where there is one: older systems may refuse a
    // key opened with a flag they do not know.
    if (RunsUnderWow64())
        AddRegistryFolder(KEY_WOW64_64KEY, "ProgramFilesDir", folders, capacity, &count);
    AddRegistryFolder(0, "ProgramFilesDir (x86)", folders, capacity, &count);
    AddRegistryFolder(0, "ProgramW6432Dir", folders, capacity, &count);
    wchar_t variable[WideChars];
    const DWORD n = GetEnvironmentVariableW(L"ProgramW6432", variable, WideChars);
    char folder[MAX_PATH] = {};
    if (n > 0 && n < WideChars && SysPathFromWide(variable, folder, sizeof folder))
        AddFolder(folder, folders, capacity, &count);
    char shell[MAX_PATH] = {};
    if (SysGetSpecialFolder(CSIDL_PROGRAM_FILES, shell))
        AddFolder(shell, folders, capacity, &count);
    return count;
}
