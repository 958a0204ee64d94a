#include "disc/drive_text.h"

#include "common/text.h"

#include <cstring>

bool MountedDeviceValueName(const char* root, char* name, size_t size)
{
    char full[300];
    FormatText(full, sizeof full, "\\DosDevices\\%s", root);
    return CopyTextN(name, size, full, 14);
}

bool DeviceKeyPathFromDevicePath(const char* devicePath, char* keyPath, size_t size)
{
    if (size > 0)
        keyPath[0] = '\0';
    // The first four characters are the "\??\" prefix of the object name.
    if (strnlen(devicePath, 4) < 4)
        return false;
    const char* rest = devicePath + 4;
    // '#' lies below 0x40 and so is never the second byte of a character.
    const char* first = strchr(rest, '#');
    const char* second = first ? strchr(first + 1, '#') : nullptr;
    const char* third = second ? strchr(second + 1, '#') : nullptr;
    if (!third)
        return false;
    if (!CopyText(keyPath, size, "System\\CurrentControlSet\\Enum\\"))
        return false;
    const size_t prefix = strlen(keyPath);
    const size_t length = static_cast<size_t>(third - rest);
    if (prefix + length + 1 > size) {
        keyPath[0] = '\0';
        return false;
    }
    memcpy(keyPath + prefix, rest, length);
    keyPath[prefix + length] = '\0';
    keyPath[prefix + (first - rest)] = '\\';
    keyPath[prefix + (second - rest)] = '\\';
    return true;
}

void FormatCdDriveEntry(char* entry, size_t size, const char* letter, const char* description)
{
    // Room for the longest pieces the registry can give; the cut to `size`
    // happens on a character boundary below.
    char full[600];
    FormatText(full, sizeof full, "[-%s-] %s", letter, description);
    CopyText(entry, size, full);
}

static void FormatPlainEntry(char* entry, size_t size, char rootLetter, const char* kind)
{
    char upper = rootLetter;
    if (upper >= 'a' && upper <= 'z')
        upper = static_cast<char>(upper - 'a' + 'A');
    char full[32];
    FormatText(full, sizeof full, "[-%c-] %s", upper, kind);
    CopyText(entry, size, full);
}

void FormatFallbackCdDriveEntry(char* entry, size_t size, char rootLetter)
{
    FormatPlainEntry(entry, size, rootLetter, "CDROM DRIVE");
}

void FormatRemovableDriveEntry(char* entry, size_t size, char rootLetter)
{
    FormatPlainEntry(entry, size, rootLetter, "REMOVABLE DRIVE");
}

void FormatDiscFolderRefusal(char* text, size_t size, const char* discName)
{
    FormatText(text, size,
               "このフォルダには『%s』の内容がありません。\r\n"
               "ディスクの内容が入っているフォルダを選択して下さい。",
               discName);
}

int DriveNumberFromEntry(const char* entry)
{
    if (strnlen(entry, 3) < 3)
        return 0;
    return DriveNumberFromLetter(entry[2]);
}
