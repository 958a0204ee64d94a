// Finding the CD/DVD drive that holds a disc of the product, and asking the
// user for it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The drive number (1 = A:) of the first CD/DVD drive that holds a medium
// carrying `markerFile` at its root, or 0.
int FindDiscDrive(const char* markerFile);

// The root folder (with its trailing backslash) of the first place that
// holds `markerFile`: the CD/DVD drives, the start folder and the folders
// beside it, then the roots of removable and fixed drives (see
// disc_places.h). Never makes a floppy seek nor lets the system ask for a
// disk. False, with an empty root, when no place holds it.
bool FindDiscRoot(const char* markerFile, char* root, size_t size);

// True when `root` holds `markerFile` (a folder the player chose).
bool DiscRootHoldsMarker(const char* root, const char* markerFile);

// The device behind a drive letter ("\Device\Floppy0"), read without
// touching the drive; empty where the system does not tell (Windows 95/98).
void ReadDriveDevice(char letter, char* device, size_t size);

// Makes `root` the disc last located: DiscRoot, and DiscDrive when it is a
// drive's root (else 0).
void TakeDiscRoot(const char* root);

// Makes sure disc `disc` (1-based) is in a drive: searches, asks, or lets the
// user force a drive or pick a folder. 1 with DiscRoot (and DiscDrive) set; 0 when the user cancelled or the
// disc number names no disc of the product.
int LocateDisc(HWND owner, uint32_t disc);

// The two dialogs of LocateDisc. InsertDiscDialog names the disc
// `discIndex` (0-based) and ends with 1 (OK), 2 (cancel), 3 (force run) or
// 4 (a folder picked that holds the disc, given in `folder` with its
// trailing backslash; may be null); DriveSelectDialog, which lists the
// CD/DVD and the removable drives, with a drive number or 0.
INT_PTR InsertDiscDialog(HWND owner, int discIndex, char* folder, size_t folderSize);
INT_PTR DriveSelectDialog(HWND owner);

// The drive-list entry of a CD/DVD drive ("[-E-] name") from the registry,
// or the plain fallback entry. False, writing nothing, only when out of memory.
bool DescribeCdDrive(const char* root, char* entry, size_t entrySize);
