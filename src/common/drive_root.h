// Drive numbers (1 for A: up to 26 for Z:, 0 for none) and the drive-root
// paths made of them.
#pragma once

#include <cstddef>

// 1 for A (or a) up to 26 for Z (or z); 0 for anything that is no letter.
int DriveNumberFromLetter(char letter);

// "E:\" for 5. False (and an empty text) for a number outside 1..26 or a
// buffer under 4 bytes.
bool FormatDriveRoot(int drive, char* root, size_t size);

// True for "C:\" (or "C:/"): the root folder of a drive.
bool IsDriveRootPath(const char* path);

// Cuts one trailing backslash, except from a drive root: "C:\" keeps it,
// since "C:" alone names the current folder on that drive, not its root.
void CutTrailingBackslashKeepRoot(char* path);

// True for a path that names its folder whole: "C:\..." or
// "\\server\share...". False for one that depends on the current folder or
// drive: "", "Games", "C:Games", "\Games".
bool IsAbsoluteFolderPath(const char* path);
