#include "common/drive_root.h"

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
