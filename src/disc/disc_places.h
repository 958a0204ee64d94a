// Where a disc of the product may be: the places the search looks at, in
// the order it looks. Most PCs have no disc drive today; players copy the
// discs to a USB stick or into folders on the hard disk, or get them as a
// download. So after the CD/DVD drives the search looks at the folder the
// launcher was started from and the folders beside it (…\DISC1, …\DISC2
// under any names), then at the roots of removable and fixed drives.
// Portable, so that the order is tested natively.
#pragma once

#include "script/setup_model.h"

#include <cstddef>

// What a drive is, for the search. Floppy drives are never looked at: a
// look would make the drive seek, and with no disk in it the system asks
// for one.
enum DiscDriveKind {
    DiscDriveOther,      // network, unknown, no root
    DiscDriveCdRom,
    DiscDriveRemovable,  // a USB stick, a memory card
    DiscDriveFixed,      // hard disks and RAM disks
    DiscDriveFloppy,
};

// The drive types of GetDriveType, by value.
constexpr unsigned DriveTypeRemovable = 2;
constexpr unsigned DriveTypeFixed = 3;
constexpr unsigned DriveTypeRemote = 4;
constexpr unsigned DriveTypeCdRom = 5;
constexpr unsigned DriveTypeRamDisk = 6;

// A drive of type `systemType` whose device (QueryDosDevice) is `device`,
// or empty when it could not be had. A removable drive is a floppy when its
// device says so, or, with no device known, when it is A: or B:.
DiscDriveKind ClassifyDiscDrive(char letter, unsigned systemType, const char* device);

struct DiscDriveSeen {
    char Letter;
    DiscDriveKind Kind;
};

enum DiscPlaceKind {
    DiscPlaceCdDrive,    // probed for a medium before its marker file is opened
    DiscPlaceFolder,     // the start folder, or one beside it
    DiscPlaceDriveRoot,  // a removable or fixed drive's root
};

struct DiscPlace {
    DiscPlaceKind Kind;
    char Root[PathWidth];  // with its trailing backslash
};

// Folders beside the start folder that one search looks at; a folder of
// downloads holds many, and the discs are never far down the list.
constexpr int MaxDiscSiblings = 64;
constexpr int MaxDiscPlaces = 26 + 1 + MaxDiscSiblings + 26;

struct DiscPlaceList {
    DiscPlace Places[MaxDiscPlaces];
    int Count;
};

// The folder that holds `startFolder` (with its trailing backslash), or
// false for a drive root, a share's root or a path without a parent.
bool DiscStartParent(const char* startFolder, char* parent, size_t size);

// The places in search order: the CD/DVD drives by letter; `startFolder`
// itself, then `siblings` (names of the folders in its parent, any order,
// the start folder's own among them or not) sorted by name without regard
// to case; then the removable and fixed drives by letter. A place already
// listed is not listed again; a path that does not fit is left out.
void ListDiscPlaces(const DiscDriveSeen* drives, int driveCount, const char* startFolder,
                    const char (*siblings)[PathWidth], int siblingCount, DiscPlaceList* list);

// `root` joined with the marker file: what the search opens. False when it
// does not fit or the marker would lead out of the root.
bool DiscMarkerPath(char* path, size_t size, const char* root, const char* markerFile);
