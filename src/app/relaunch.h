// The copy in the temporary folder: how the program gets there, and how it
// clears up after itself.
#pragma once

#include <windows.h>

// Copies `name` from one folder to the other, replacing a read-only copy and
// leaving the new one writable. 1 when copied, else 0.
int CopyToFolder(const char* name, const char* fromFolder, const char* toFolder);

// Copies the program, Drubel.ini and Instdata.pak from SourceFolder to the
// temporary folder and starts the copy there with the command letter ('t' or
// 'r'). Releases the instance mutex first. 1 with the new process's handles in `process` (the
// caller closes them), or 0.
int RelaunchFromTemp(char letter, PROCESS_INFORMATION* process);

// At the exit of the temporary copy: deletes the temporary script and
// archive and has the program file removed at the next Windows start.
void CleanUpTemp();
void ScheduleSelfRemoval();

// The user's temporary folder as Windows gives it (ending with a backslash),
// in its short form when the long one has no 932 form. False when there is
// none that fits; SysTextHadNoForm() then tells a folder no 932 path names.
bool GetTemporaryFolder(char* folder, DWORD size);

// Drive and folder of the running program, with its trailing backslash, as
// GetTemporaryFolder gives the temporary folder.
bool GetProgramFolder(char* folder, DWORD size);
