// Finding the CD/DVD drive that holds a disc of the product, and asking the
// user for it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The drive number (1 = A:) of the first CD/DVD drive that holds a medium
// carrying `markerFile` at its root, or 0.
int FindDiscDrive(const char* markerFile);

// Makes sure disc `disc` (1-based) is in a drive: searches, asks, or lets the
// user force a drive. 1 with DiscDrive set; 0 when the user cancelled or the
// disc number names no disc of the product.
int LocateDisc(HWND owner, uint32_t disc);

// The two dialogs of LocateDisc. InsertDiscDialog names the disc
// `discIndex` (0-based) and ends with 1 (OK), 2 (cancel) or 3 (force run);
// DriveSelectDialog with a drive number or 0.
INT_PTR InsertDiscDialog(HWND owner, int discIndex);
INT_PTR DriveSelectDialog(HWND owner);

// The drive-list entry of a CD/DVD drive ("[-E-] name") from the registry,
// or the plain fallback entry. False, writing nothing, only when out of memory.
bool DescribeCdDrive(const char* root, char* entry, size_t entrySize);
