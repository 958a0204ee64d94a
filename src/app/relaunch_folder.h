// The private folder the relaunch runs from: made fresh inside the
// temporary folder under a name nobody can guess, never the temporary
// folder itself, which every program of the user may write into.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr char RelaunchFolderPrefix[] = "Drubel-";
// Random bytes in a folder's name: 64 bits, as 16 hexadecimal digits.
constexpr size_t RelaunchRandomBytes = 8;

// `tempFolder` (with or without its trailing backslash) + "Drubel-" + the
// bytes in hexadecimal, without a trailing backslash. False when it does
// not fit.
bool FormatRelaunchFolder(char* dest, size_t size, const char* tempFolder,
                          const uint8_t (&random)[RelaunchRandomBytes]);

// True when `folder` is a name FormatRelaunchFolder gives below
// `tempFolder`: directly in it, "Drubel-" and 16 hexadecimal digits, a
// trailing backslash on either side aside. Only such a folder is cleared
// at the exit: the program deletes nothing in a folder it did not make.
bool IsRelaunchFolder(const char* folder, const char* tempFolder);
