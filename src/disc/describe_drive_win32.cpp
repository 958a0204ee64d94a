#include "disc/disc_check.h"
#include "disc/drive_text.h"

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

// Reads a string value into `buffer` (capacity `size` + 1, zero-filled), so
// that a value stored without its terminator still ends in one.
bool ReadText(HKEY key, const char* value, char* buffer, DWORD size)
{
    DWORD length = size;
    return RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                            &length) == ERROR_SUCCESS;
}

// Windows 95/98/Me: the dynamic device tree names each SCSI device's
// hardware key; the CD-ROM class entry there holds its drive letter.
bool DescribeFromDeviceTree(const char* root, DriveDescription* work, char* entry,
                            size_t entrySize)
{
    static const char EnumRoot[] = "Config Manager\\Enum";
    HKEY enumKey;
    if (RegOpenKeyExA(HKEY_DYN_DATA, EnumRoot, 0, KEY_ENUMERATE_SUB_KEYS, &enumKey) !=
        ERROR_SUCCESS)
        return false;
    bool found = false;
    for (DWORD index = 0; !found; ++index) {
        DWORD nameLength = sizeof work->Name;
        DWORD classLength = sizeof work->Class;
        memset(work->Name, 0, sizeof work->Name);
        if (RegEnumKeyExA(enumKey, index, work->Name, &nameLength, nullptr, work->Class,
                          &classLength, nullptr) != ERROR_SUCCESS)
            break;
        char path[600];
        if (!FormatText(path, sizeof path, "%s\\%s", EnumRoot, work->Name))
            continue;
        HKEY device;
        if (RegOpenKeyExA(HKEY_DYN_DATA, path, 0, KEY_READ, &device) != ERROR_SUCCESS)
            continue;
        memset(work->HardwareKey, 0, sizeof work->HardwareKey);
        ReadText(device, "HardWareKey", work->HardwareKey, 260);
        RegCloseKey(device);
        if (!EqualNoCaseN(work->HardwareKey, "SCSI", 4))
            continue;
        if (!FormatText(path, sizeof path, "Enum\\%s", work->HardwareKey))
            continue;
        HKEY hardware;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &hardware) != ERROR_SUCCESS)
            continue;
        memset(work->Class, 0, sizeof work->Class);
        memset(work->Letter, 0, sizeof work->Letter);
        if (ReadText(hardware, "Class", work->Class, 259) &&
            EqualNoCaseN(work->Class, "CDROM", 5) &&
            ReadText(hardware, "CurrentDriveLetterAssignment", work->Letter, 260) &&
            DriveNumberFromLetter(work->Letter[0]) != 0 &&
            DriveNumberFromLetter(work->Letter[0]) == DriveNumberFromLetter(root[0])) {
            memset(work->Text, 0, sizeof work->Text);
            ReadText(hardware, "DeviceDesc", work->Text, 260);
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
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\MountedDevices", 0, KEY_READ, &mounted) !=
        ERROR_SUCCESS)
        return false;
    char valueName[32];
    MountedDeviceValueName(root, valueName, sizeof valueName);
    DWORD size = 260;
    memset(work->Device, 0, sizeof work->Device);
    const LONG read = RegQueryValueExA(mounted, valueName, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(work->Device), &size);
    RegCloseKey(mounted);
    if (read != ERROR_SUCCESS)
        return false;
    memset(work->Text, 0, sizeof work->Text);
    WideCharToMultiByte(CP_ACP, 0, work->Device, static_cast<int>(size / sizeof(WCHAR)),
                        work->Text, 260, nullptr, nullptr);
    if (!DeviceKeyPathFromDevicePath(work->Text, work->KeyPath, sizeof work->KeyPath))
        return false;
    HKEY device;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, work->KeyPath, 0, KEY_READ, &device) != ERROR_SUCCESS)
        return false;
    memset(work->Text, 0, sizeof work->Text);
    const bool named = ReadText(device, "FriendlyName", work->Text, 260);
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
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    bool described = false;
    if (GetVersionExA(&version)) {
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
