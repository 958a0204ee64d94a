// Every call into the system that takes or returns text, in code page 932.
//
// Each function converts its 932 texts to UTF-16 by number (never through
// the system's own code page) and calls the wide form of the system call;
// texts the system hands back are converted to 932 the same way. So the
// program makes the same names and shows the same texts on a Japanese, an
// English or a Chinese Windows.
//
// Names (paths, registry keys and values, command lines) convert exactly or
// not at all: a function whose name has no UTF-16 form fails with the last
// error ERROR_NO_UNICODE_TRANSLATION and touches nothing. Shown texts
// (window texts, messages, list entries, link descriptions) are never
// refused: a byte the code page does not map shows as the system's
// replacement character, since a message with one odd character beats no
// message.
//
// A path the system hands back that 932 cannot hold (a profile folder with
// "ë", a Chinese user name) is given in its short form when the volume has
// one, else the function fails with ERROR_NO_UNICODE_TRANSLATION, which
// SysTextHadNoForm() tells the caller right after the call, so that it can
// tell the player the folder cannot be used.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>
#include <cstdint>

// True when the last failed call failed because a text had no form in the
// other code page (rather than for a reason of the system's own).
bool SysTextHadNoForm();

// Converts a path from the system to 932 with the short-form fallback.
bool SysPathFromWide(const wchar_t* path, char* out, size_t outBytes);

// Windows, dialogs and controls.
bool SysSetWindowText(HWND window, const char* text);
bool SysSetDlgItemText(HWND dialog, int id, const char* text);
// False when the text does not fit `outBytes` or has no 932 form (the
// buffer is then empty: a cut path would name another folder).
bool SysGetWindowText(HWND window, char* out, size_t outBytes);
bool SysGetDlgItemText(HWND dialog, int id, char* out, size_t outBytes);
int SysMessageBox(HWND owner, const char* text, const char* caption, UINT type);
// Index of the added entry, or CB_ERR.
LRESULT SysComboAddString(HWND combo, const char* text);
bool SysComboGetText(HWND combo, int index, char* out, size_t outBytes);
// Index of the new item or column, or -1.
int SysListViewInsertItem(HWND list, int item, const char* text);
bool SysListViewSetItemText(HWND list, int item, int subItem, const char* text);
int SysListViewInsertColumn(HWND list, int index, const char* title, int width);

// Files and folders. Paths are absolute 932 texts.
HANDLE SysCreateFile(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
bool SysDeleteFile(const char* path);
bool SysCreateFolder(const char* path);  // one level, default security
// One level with the given security (null: default). False, with
// ERROR_ALREADY_EXISTS, when something is there already.
bool SysCreateFolderWith(const char* path, SECURITY_ATTRIBUTES* security);
bool SysRemoveFolder(const char* path);
DWORD SysGetFileAttributes(const char* path);  // INVALID_FILE_ATTRIBUTES on failure
bool SysSetFileAttributes(const char* path, DWORD attributes);
bool SysCopyFile(const char* from, const char* to, bool failIfExists);
bool SysMoveFile(const char* from, const char* to);
// Renames `from` over `to` on the same volume, in one step.
bool SysReplaceFile(const char* from, const char* to);
// Has the file deleted when Windows next starts.
bool SysScheduleDeletion(const char* path);
bool SysGetFreeSpace(const char* folder, uint64_t* available);
bool SysGetFullPath(const char* path, char* out, size_t outBytes);

// One entry of a directory search. Name is the entry's long name, or its
// short name when the long one has no 932 form, or empty when neither has
// one: the caller passes such an entry over, since no 932 path reaches it.
struct SysFindData {
    char Name[MAX_PATH];
    DWORD Attributes;
    uint64_t Size;
};
// INVALID_HANDLE_VALUE when nothing matches; the handle goes to FindClose.
HANDLE SysFindFirst(const char* pattern, SysFindData* found);
bool SysFindNext(HANDLE search, SysFindData* found);

// Drives. Roots are "E:\" texts.
DWORD SysGetLogicalDriveStrings(char* out, DWORD outBytes);  // as GetLogicalDriveStrings
UINT SysGetDriveType(const char* root);
// Opens the media control device of the type for the element (MCI_OPEN with
// type and element); the id goes to the status and close commands.
bool SysMciOpen(const char* deviceType, const char* element, MCIDEVICEID* device);

// Shell. Paths handed back come through SysPathFromWide.
enum SysBrowseResult {
    SysBrowseChosen,
    SysBrowseCancelled,
    SysBrowseUnusable,  // a folder was chosen, but no 932 path names it
};
SysBrowseResult SysBrowseForFolder(HWND owner, const char* title, char* path, size_t pathBytes);
bool SysGetSpecialFolder(int csidl, char* path, size_t pathBytes);
// Makes a shell link (IShellLinkW, saved through IPersistFile with
// fRemember set); the result of the save or of the first step that failed.
// The caller has initialised COM on its thread.
HRESULT SysSaveShellLink(const char* linkFile, const char* target, const char* description,
                         const char* arguments, const char* workFolder, const char* iconFile,
                         int iconIndex, int showCommand);

// Registry.
bool SysRegOpenKey(HKEY root, const char* path, REGSAM access, HKEY* key);
bool SysRegCreateKey(HKEY root, const char* path, REGSAM access, HKEY* key);  // non-volatile
// The value's bytes as stored (REG_BINARY, REG_DWORD); `size` in: capacity, out: bytes read.
bool SysRegReadBinary(HKEY key, const char* name, void* data, DWORD* size);
// A string value in 932; false when it is no string, does not fit or has no 932 form.
bool SysRegReadText(HKEY key, const char* name, char* out, size_t outBytes);
// A string value that names a folder: as SysRegReadText, with the short-form fallback.
bool SysRegReadPath(HKEY key, const char* name, char* out, size_t outBytes);
bool SysRegWriteBinary(HKEY key, const char* name, const void* data, DWORD size);
bool SysRegWriteDword(HKEY key, const char* name, DWORD value);
// A string value (REG_SZ) in UTF-16, so that any code page reads it right.
bool SysRegWriteText(HKEY key, const char* name, const char* text);
bool SysRegDeleteValue(HKEY key, const char* name);
bool SysRegDeleteKey(HKEY root, const char* path);
// False at the end of the list. A subkey whose name has no 932 form is
// reported with an empty name, so that the enumeration goes on past it.
bool SysRegEnumKey(HKEY key, DWORD index, char* name, size_t nameBytes);
bool SysRegCountEntries(HKEY key, DWORD* subkeys, DWORD* values);

// Processes and the program's own places.
// `commandLine` is copied (the system may write into it); `folder` may be null.
bool SysCreateProcess(const char* application, const char* commandLine, DWORD flags,
                      const char* folder, PROCESS_INFORMATION* process);
// What follows the program name on the command line, blanks after the name
// skipped. A character with no 932 form becomes "?": only the first
// character is a command, the rest is shown.
bool SysGetCommandArguments(char* out, size_t outBytes);
bool SysGetModulePath(char* out, size_t outBytes);
bool SysGetTempFolder(char* out, size_t outBytes);  // with its trailing backslash
bool SysGetWindowsFolder(char* out, size_t outBytes);
// A variable of the process's environment, which the programs it starts
// inherit. Setting null removes it. Reading fails when it is not set, does
// not fit or has no 932 form.
bool SysSetEnvironment(const char* name, const char* value);
bool SysGetEnvironment(const char* name, char* out, size_t outBytes);
// Makes the Windows folder the current folder, through its wide name, so
// that it works whether or not the name has a 932 form.
bool SysEnterWindowsFolder();

template <size_t N>
inline bool SysGetWindowText(HWND window, char (&out)[N]) { return SysGetWindowText(window, out, N); }
template <size_t N>
inline bool SysGetDlgItemText(HWND dialog, int id, char (&out)[N])
{
    return SysGetDlgItemText(dialog, id, out, N);
}
template <size_t N>
inline bool SysGetFullPath(const char* path, char (&out)[N]) { return SysGetFullPath(path, out, N); }
template <size_t N>
inline bool SysGetModulePath(char (&out)[N]) { return SysGetModulePath(out, N); }
template <size_t N>
inline bool SysGetTempFolder(char (&out)[N]) { return SysGetTempFolder(out, N); }
template <size_t N>
inline bool SysGetWindowsFolder(char (&out)[N]) { return SysGetWindowsFolder(out, N); }
template <size_t N>
inline bool SysGetSpecialFolder(int csidl, char (&out)[N]) { return SysGetSpecialFolder(csidl, out, N); }
template <size_t N>
inline bool SysRegReadText(HKEY key, const char* name, char (&out)[N])
{
    return SysRegReadText(key, name, out, N);
}
