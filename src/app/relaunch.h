// The copy in the temporary folder: how the program gets there, and how it
// clears up after itself.
#pragma once

#include <windows.h>

// Copies `name` from one folder to the other, replacing a read-only copy and
// leaving the new one writable. 1 when copied, else 0.
int CopyToFolder(const char* name, const char* fromFolder, const char* toFolder);

// Makes a fresh relaunch folder inside the temporary folder, under a name
// of random bytes (see relaunch_folder.h); when the program acts with the
// Administrators group, only administrators and the system may write into
// it. Its path without a trailing backslash, or false.
bool MakeRelaunchFolder(char* folder, size_t size);

// The security of a relaunch folder made with the Administrators group:
// a protected list in which only administrators and the system may write.
// LocalFree it; null when the system cannot make it (NT 4 and older).
PSECURITY_DESCRIPTOR MakeRelaunchFolderSecurity();

// Makes a relaunch folder, copies the program, Drubel.ini and Instdata.pak
// from SourceFolder into it and starts that copy of the program with the
// command letter ('t' or 'r'). Releases the instance mutex first. 1 with
// the new process's handles in `process` (the caller closes them), or 0,
// leaving no folder behind.
int RelaunchFromTemp(char letter, PROCESS_INFORMATION* process);

// In the copy (letters t and r): true when the program runs from a
// relaunch folder, which it then holds and clears at its exit.
bool TakeOwnRelaunchFolder();

// The folder the setup data is copied to for a reload: the instance's
// relaunch folder, made when it has none yet. False when none can be had.
bool GetWorkFolder(char* folder, size_t size);

// At the exit: deletes the script and archive in the relaunch folder and,
// when the program runs from there, has its program file and then the
// folder removed at the next Windows start. Nothing without a relaunch
// folder.
void CleanUpTemp();
void ScheduleSelfRemoval();

// The user's temporary folder as Windows gives it (ending with a backslash),
// in its short form when the long one has no 932 form. False when there is
// none that fits; SysTextHadNoForm() then tells a folder no 932 path names.
bool GetTemporaryFolder(char* folder, DWORD size);

// Drive and folder of the running program, with its trailing backslash, as
// GetTemporaryFolder gives the temporary folder.
bool GetProgramFolder(char* folder, DWORD size);
