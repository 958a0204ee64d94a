// The machine's program-files folder, as the registry records it.
#pragma once

#include <cstddef>

// Reads "ProgramFilesDir" of HKLM\Software\Microsoft\Windows\CurrentVersion
// into `folder`, always terminated. False when the key or the value cannot
// be read.
bool ReadProgramFilesDir(char* folder, size_t size);
