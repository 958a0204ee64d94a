#include "common/drive_root.h"

#include "common/text.h"

int DriveNumberFromLetter(char letter)
{
    if (letter >= 'A' && letter <= 'Z')
        return letter - 'A' + 1;
    if (letter >= 'a' && letter <= 'z')
        return letter - 'a' + 1;
    return 0;
}

bool FormatDriveRoot(int drive, char* root, size_t size)
{
    if (size == 0)
        return false;
    root[0] = '\0';
    if (drive < 1 || drive > 26 || size < 4)
        return false;
    root[0] = static_cast<char>('A' + drive - 1);
    root[1] = ':';
    root[2] = '\\';
    root[3] = '\0';
    return true;
}

static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveRootPath(const char* path)
{
    return path != nullptr && DriveNumberFromLetter(path[0]) != 0 && path[1] == ':' &&
           IsSeparator(path[2]) && path[3] == '\0';
}

void CutTrailingBackslashKeepRoot(char* path)
{
    if (!IsDriveRootPath(path))
        CutTrailingBackslash(path);
}

bool IsAbsoluteFolderPath(const char* path)
{
    if (path == nullptr)
        return false;
    if (DriveNumberFromLetter(path[0]) != 0 && path[1] == ':')
        return IsSeparator(path[2]);
    return IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] != '\0' &&
           !IsSeparator(path[2]);
}
