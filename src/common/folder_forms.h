// The one form in which the program compares folders: the full path, long
// names for short ones and, for the part that exists, the final path the
// system reaches through a handle (a junction or link resolved). Two texts
// naming the same folder ("C:\.\windows", "C:\PROGRA~1", "c:/windows")
// have the same form; a text and the folder it leads to through a junction
// too.
#pragma once

#include <cstddef>

// The full, long form of `path` in 932, without a trailing backslash (a
// drive root keeps its own). The part that does not exist yet is appended
// as written, after the full-path rule resolved its "." and "..". False
// when the system gives no form or it does not fit.
bool SysGetFullLongPath(const char* path, char* out, size_t outBytes);

// The program-files folders of this machine, each in its full, long form:
// "ProgramFilesDir" of the registry's own view and, on 64-bit Windows, of
// the 64-bit view (the 32-bit program's own view names the x86 folder),
// "ProgramFilesDir (x86)", "ProgramW6432Dir", the ProgramW6432 variable and
// the shell's folder. The number of folders written (at most `capacity`).
int ReadProgramFilesFolders(char (*folders)[260], int capacity);

template <size_t N>
inline bool SysGetFullLongPath(const char* path, char (&out)[N])
{
    return SysGetFullLongPath(path, out, N);
}
