#include "disc/disc_check.h"
#include "disc/drive_text.h"

#include "common/cp932.h"
#include "common/system_text.h"
#include "common/text.h"

#include <cstdlib>
#include <cstring>

namespace {

// Working memory of one description: the registry texts it reads.
struct DriveDescription {
    char Name[260];
    char Class[260];
    char HardwareKey[261];
    char Letter[261];
    char Text[261];
    char KeyPath[300];
    WCHAR Device[131];
};

// Reads a string value into `buffer` (capacity `size`), always terminated.
// A text without a 932 form is not read: the drive then gets the plain entry.
bool ReadText(HKEY key, const char* value, char* buffer, size_t size)
{
    return SysRegReadText(key, value, buffer, size);
}

// Windows 95/98/Me: the dynamic device tree names each SCSI device's
// hardware key; the CD-ROM class entry there holds its drive letter.
bool DescribeFromDeviceTree(const char* root, DriveDescription* work, char* entry,
                            size_t entrySize)
{
    static const char EnumRoot[] = "Config Manager\\Enum";
    HKEY enumKey;
    if (!SysRegOpenKey(HKEY_DYN_DATA, EnumRoot, KEY_ENUMERATE_SUB_KEYS, &enumKey))
        return false;
    bool found = false;
    for (DWORD index = 0; !found; ++index) {
        memset(work->Name, 0, sizeof work->Name);
        if (!SysRegEnumKey(enumKey, index, work->Name, sizeof work->Name))
            break;
        if (work->Name[0] == '\0')
            continue;  // a key no 932 path reaches
        char path[600];
        if (!FormatText(path, sizeof path, "%s\\%s", EnumRoot, work->Name))
            continue;
        HKEY device;
        if (!SysRegOpenKey(HKEY_DYN_DATA, path, KEY_READ, &device))
            continue;
        memset(work->HardwareKey, 0, sizeof work->HardwareKey);
        ReadText(device, "HardWareKey", work->HardwareKey, sizeof work->HardwareKey);
        RegCloseKey(device);
        if (!EqualNoCaseN(work->HardwareKey, "SCSI", 4))
            continue;
        if (!FormatText(path, sizeof path, "Enum\\%s", work->HardwareKey))
            continue;
        HKEY hardware;
        if (!SysRegOpenKey(HKEY_LOCAL_MACHINE, path, KEY_READ, &hardware))
            continue;
        memset(work->Class, 0, sizeof work->Class);
        memset(work->Letter, 0, sizeof work->Letter);
        if (ReadText(hardware, "Class", work->Class, sizeof work->Class) &&
            EqualNoCaseN(work->Class, "CDROM", 5) &&
            ReadText(hardware, "CurrentDriveLetterAssignment", work->Letter, sizeof work->Letter) &&
            DriveNumberFromLetter(work->Letter[0]) != 0 &&
            DriveNumberFromLetter(work->Letter[0]) == DriveNumberFromLetter(root[0])) {
            memset(work->Text, 0, sizeof work->Text);
            ReadText(hardware, "DeviceDesc", work->Text, sizeof work->Text);
            FormatCdDriveEntry(entry, entrySize, work->Letter, work->Text);
            found = true;
        }
        RegCloseKey(hardware);
    }
    RegCloseKey(enumKey);
    return found;
}

// Windows NT: the mounted-device table maps the drive to its device path,
// which names the device's key under Enum and so its friendly name.
bool DescribeFromMountedDevices(const char* root, DriveDescription* work, char* entry,
                                size_t entrySize)
{
    HKEY mounted;
    if (!SysRegOpenKey(HKEY_LOCAL_MACHINE, "System\\MountedDevices", KEY_READ, &mounted))
        return false;
    char valueName[32];
    MountedDeviceValueName(root, valueName, sizeof valueName);
    // One unit short of the buffer: the device path stays terminated.
    DWORD size = sizeof work->Device - sizeof(WCHAR);
    memset(work->Device, 0, sizeof work->Device);
    const bool read = SysRegReadBinary(mounted, valueName, work->Device, &size);
    RegCloseKey(mounted);
    if (!read)
        return false;
    memset(work->Text, 0, sizeof work->Text);
    if (!WideToCp932(reinterpret_cast<const char16_t*>(work->Device), work->Text, 260))
        return false;
    if (!DeviceKeyPathFromDevicePath(work->Text, work->KeyPath, sizeof work->KeyPath))
        return false;
    HKEY device;
    if (!SysRegOpenKey(HKEY_LOCAL_MACHINE, work->KeyPath, KEY_READ, &device))
        return false;
    memset(work->Text, 0, sizeof work->Text);
    const bool named = ReadText(device, "FriendlyName", work->Text, sizeof work->Text);
    RegCloseKey(device);
    if (!named)
        return false;
    const char letter[2] = {root[0], '\0'};
    FormatCdDriveEntry(entry, entrySize, letter, work->Text);
    return true;
}

}  // namespace

bool DescribeCdDrive(const char* root, char* entry, size_t entrySize)
{
    DriveDescription* work = static_cast<DriveDescription*>(calloc(1, sizeof(DriveDescription)));
    if (!work)
        return false;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    bool described = false;
    if (GetVersionExW(&version)) {
        if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
            described = DescribeFromDeviceTree(root, work, entry, entrySize);
        else if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
            described = DescribeFromMountedDevices(root, work, entry, entrySize);
    }
    free(work);
    if (!described)
        FormatFallbackCdDriveEntry(entry, entrySize, root[0]);
    return true;
}
