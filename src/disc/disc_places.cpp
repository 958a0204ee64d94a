#include "disc/disc_places.h"

#include "common/drive_root.h"
#include "common/path_rules.h"
#include "common/text.h"

#include <algorithm>
#include <cstring>

DiscDriveKind ClassifyDiscDrive(char letter, unsigned systemType, const char* device)
{
    switch (systemType) {
    case DriveTypeCdRom:
        return DiscDriveCdRom;
    case DriveTypeFixed:
    case DriveTypeRamDisk:
        return DiscDriveFixed;
    case DriveTypeRemovable:
        break;
    default:
        return DiscDriveOther;
    }
    if (device != nullptr && device[0] != '\0')
        return EqualNoCaseN(device, "\\Device\\Floppy", 14) ? DiscDriveFloppy : DiscDriveRemovable;
    // Without its device the letter tells: A: and B: are the floppy letters.
    const int number = DriveNumberFromLetter(letter);
    return number == 1 || number == 2 ? DiscDriveFloppy : DiscDriveRemovable;
}

bool DiscStartParent(const char* startFolder, char* parent, size_t size)
{
    if (size > 0)
        parent[0] = '\0';
    char folder[PathWidth];
    if (!CopyText(folder, startFolder) || !IsAbsoluteFolderPath(folder) || IsDriveRootPath(folder))
        return false;
    CutTrailingBackslash(folder);
    const char* last = FindLastBackslash(folder);
    if (last == nullptr)
        return false;
    folder[last - folder + 1] = '\0';
    if (folder[0] == '\\') {
        // "\\server\share\" is the top of a share: four separators at least.
        int separators = 0;
        for (const char* p = folder; *p != '\0'; ++p) {
            if (IsLeadByte(static_cast<unsigned char>(p[0]), static_cast<unsigned char>(p[1])))
                ++p;
            else if (*p == '\\')
                ++separators;
        }
        if (separators < 4)
            return false;
    }
    return CopyText(parent, size, folder);
}

namespace {

bool SamePlace(const char* a, const char* b)
{
    const size_t length = strlen(a);
    return length == strlen(b) && EqualNoCaseN(a, b, length);
}

void AddPlace(DiscPlaceList* list, DiscPlaceKind kind, const char* root)
{
    if (list->Count >= MaxDiscPlaces || root[0] == '\0')
        return;
    char withSeparator[PathWidth];
    if (!CopyText(withSeparator, root))
        return;
    if (!EndsWithBackslash(withSeparator) && !AppendText(withSeparator, "\\"))
        return;
    for (int i = 0; i < list->Count; ++i)
        if (SamePlace(list->Places[i].Root, withSeparator))
            return;
    DiscPlace& place = list->Places[list->Count++];
    place.Kind = kind;
    CopyText(place.Root, withSeparator);
}

void AddDrives(DiscPlaceList* list, const DiscDriveSeen* drives, int driveCount,
               bool (*wanted)(DiscDriveKind), DiscPlaceKind kind)
{
    // By letter, whatever order the system listed them in.
    for (int number = 1; number <= 26; ++number) {
        for (int i = 0; i < driveCount; ++i) {
            if (DriveNumberFromLetter(drives[i].Letter) != number || !wanted(drives[i].Kind))
                continue;
            char root[4];
            if (FormatDriveRoot(number, root, sizeof root))
                AddPlace(list, kind, root);
            break;
        }
    }
}

bool IsCd(DiscDriveKind kind) { return kind == DiscDriveCdRom; }
bool IsDisk(DiscDriveKind kind) { return kind == DiscDriveRemovable || kind == DiscDriveFixed; }

// Name order without regard to ASCII case; equal names keep their order.
bool NameBefore(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a);
        unsigned char y = static_cast<unsigned char>(*b);
        if (x >= 'a' && x <= 'z')
            x = static_cast<unsigned char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<unsigned char>(y - 'a' + 'A');
        if (x != y || x == 0)
            return x < y;
    }
}

}  // namespace

void ListDiscPlaces(const DiscDriveSeen* drives, int driveCount, const char* startFolder,
                    const char (*siblings)[PathWidth], int siblingCount, DiscPlaceList* list)
{
    list->Count = 0;
    AddDrives(list, drives, driveCount, IsCd, DiscPlaceCdDrive);
    if (startFolder != nullptr && IsAbsoluteFolderPath(startFolder)) {
        AddPlace(list, DiscPlaceFolder, startFolder);
        char parent[PathWidth];
        if (DiscStartParent(startFolder, parent, sizeof parent)) {
            const int count = std::min(siblingCount, MaxDiscSiblings);
            const char* order[MaxDiscSiblings];
            for (int i = 0; i < count; ++i)
                order[i] = siblings[i];
            std::stable_sort(order, order + count, NameBefore);
            for (int i = 0; i < count; ++i) {
                // A name is one level: anything else would look elsewhere.
                if (order[i][0] == '\0' || !IsPlainFolderPath(order[i]) ||
                    FindLastBackslash(order[i]) != nullptr || strchr(order[i], '/') != nullptr)
                    continue;
                char folder[PathWidth];
                if (JoinPath(folder, parent, order[i]))
                    AddPlace(list, DiscPlaceFolder, folder);
            }
        }
    }
    AddDrives(list, drives, driveCount, IsDisk, DiscPlaceDriveRoot);
}

bool DiscMarkerPath(char* path, size_t size, const char* root, const char* markerFile)
{
    if (size > 0)
        path[0] = '\0';
    if (markerFile == nullptr || !IsContainedRelativePath(markerFile))
        return false;
    return JoinPath(path, size, root, markerFile);
}
