// The text side of drives: the entries of the drive list and the registry
// paths that describe a CD/DVD drive. Portable, so that it is tested natively.
#pragma once

#include "common/drive_root.h"

#include <cstddef>

// The registry value of the NT mounted-device table that names a drive:
// "\DosDevices\" and the root, cut to 14 characters so that it ends with the
// letter and the colon.
bool MountedDeviceValueName(const char* root, char* name, size_t size);

// Turns a mounted device's path (\??\IDE#CdRomModel#5&1f&0&0.0.0#{class id})
// into its key below HKEY_LOCAL_MACHINE
// (System\CurrentControlSet\Enum\IDE\CdRomModel\5&1f&0&0.0.0). False when
// the path has fewer than three '#' or the key does not fit.
bool DeviceKeyPathFromDevicePath(const char* devicePath, char* keyPath, size_t size);

// A drive-list entry "[-E-] description". The entry is read back into a
// 260-byte buffer, so a long description is cut (never inside a two-byte
// character) to fit `size`.
void FormatCdDriveEntry(char* entry, size_t size, const char* letter, const char* description);

// The entry of a drive the registry says nothing about: "[-E-] CDROM DRIVE"
// with the root's letter in upper case.
void FormatFallbackCdDriveEntry(char* entry, size_t size, char rootLetter);

// The drive an entry names: its third character. 0 for an entry too short to
// have one.
int DriveNumberFromEntry(const char* entry);

// The drive-list entry of a removable drive (a USB stick that holds a copy
// of a disc): "[-G-] REMOVABLE DRIVE" with the letter in upper case.
void FormatRemovableDriveEntry(char* entry, size_t size, char rootLetter);

// What the insert-disc prompt says when the folder the player picked does
// not hold the disc `discName`.
void FormatDiscFolderRefusal(char* text, size_t size, const char* discName);
