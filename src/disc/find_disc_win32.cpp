#include "disc/disc_check.h"
#include "disc/disc_places.h"
#include "disc/drive_text.h"

#include "common/drive_root.h"
#include "common/system_dlls.h"
#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <mmsystem.h>

#include <cstring>

// Asks the drive through MCI whether it holds a medium at all, so that an
// empty drive is passed over before any file is opened on it.
static bool MediaPresent(const char* root)
{
    // Without the media control interface the marker file alone decides.
    if (!SysMciAvailable())
        return true;
    char element[3] = {root[0], ':', '\0'};
    MCIDEVICEID device = 0;
    if (!SysMciOpen("cdaudio", element, &device))
        return false;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_MEDIA_PRESENT;
    SysMciSendCommand(device, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status));
    MCI_GENERIC_PARMS close = {};
    SysMciSendCommand(device, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close));
    return status.dwReturn != 0;
}

static bool MarkerFileOpens(const char* root, const char* markerFile)
{
    char path[MAX_PATH + 64];
    if (!DiscMarkerPath(path, sizeof path, root, markerFile))
        return false;
    HANDLE file = SysCreateFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

int FindDiscDrive(const char* markerFile)
{
    char roots[260] = {};
    const DWORD length = SysGetLogicalDriveStrings(roots, sizeof roots);
    if (length == 0 || length >= sizeof roots)
        return 0;
    // An empty drive must not bring up the system's "insert a disk" box.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    int found = 0;
    for (const char* root = roots; root < roots + length && *root != '\0';
         root += strlen(root) + 1) {
        if (SysGetDriveType(root) != DRIVE_CDROM)
            continue;
        if (!MediaPresent(root))
            continue;
        if (MarkerFileOpens(root, markerFile)) {
            found = DriveNumberFromLetter(root[0]);
            break;
        }
    }
    SetErrorMode(previousMode);
    return found;
}

void ReadDriveDevice(char letter, char* device, size_t size)
{
    if (size == 0)
        return;
    device[0] = '\0';
    const wchar_t name[3] = {static_cast<wchar_t>(letter), L':', 0};
    wchar_t target[512] = {};
    if (QueryDosDeviceW(name, target, 511) == 0)
        return;
    // Device names are ASCII; anything else tells nothing.
    size_t i = 0;
    for (; i + 1 < size && target[i] != 0; ++i)
        device[i] = target[i] < 0x80 ? static_cast<char>(target[i]) : '?';
    device[i] = '\0';
}

namespace {

// Keeps the system from asking for a disk (or a floppy) while a place is
// looked at: a drive without a medium then simply fails the open.
struct QuietErrors {
    UINT Previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    ~QuietErrors() { SetErrorMode(Previous); }
};

int SeeDrives(DiscDriveSeen* drives)
{
    char roots[260] = {};
    const DWORD length = SysGetLogicalDriveStrings(roots, sizeof roots);
    if (length == 0 || length >= sizeof roots)
        return 0;
    int count = 0;
    for (const char* root = roots; root < roots + length && *root != '\0' && count < 26;
         root += strlen(root) + 1) {
        if (DriveNumberFromLetter(root[0]) == 0)
            continue;
        const UINT type = SysGetDriveType(root);
        char device[128] = {};
        if (type == DRIVE_REMOVABLE)
            ReadDriveDevice(root[0], device, sizeof device);
        drives[count].Letter = root[0];
        drives[count].Kind = ClassifyDiscDrive(root[0], type, device);
        ++count;
    }
    return count;
}

// The folders beside the start folder, by name.
int SeeSiblings(const char* parent, char (*names)[PathWidth])
{
    char pattern[PathWidth];
    if (!JoinPath(pattern, parent, "*"))
        return 0;
    SysFindData found;
    HANDLE search = SysFindFirst(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        if (!(found.Attributes & FILE_ATTRIBUTE_DIRECTORY) || found.Name[0] == '\0' ||
            strcmp(found.Name, ".") == 0 || strcmp(found.Name, "..") == 0)
            continue;
        CopyText(names[count++], found.Name);
    } while (count < MaxDiscSiblings && SysFindNext(search, &found));
    FindClose(search);
    return count;
}

}  // namespace

bool DiscRootHoldsMarker(const char* root, const char* markerFile)
{
    QuietErrors quiet;
    return MarkerFileOpens(root, markerFile);
}

bool FindDiscRoot(const char* markerFile, char* root, size_t size)
{
    if (size > 0)
        root[0] = '\0';
    // Also around the look at the start folder's neighbours: a USB stick
    // pulled since the start must not bring up a box either.
    QuietErrors quiet;
    DiscDriveSeen drives[26];
    const int driveCount = SeeDrives(drives);
    static char siblings[MaxDiscSiblings][PathWidth];
    int siblingCount = 0;
    char parent[PathWidth];
    if (DiscStartParent(SetupScript.StartFolder, parent, sizeof parent))
        siblingCount = SeeSiblings(parent, siblings);
    static DiscPlaceList places;
    ListDiscPlaces(drives, driveCount, SetupScript.StartFolder, siblings, siblingCount, &places);
    for (int i = 0; i < places.Count; ++i) {
        const DiscPlace& place = places.Places[i];
        // An empty CD/DVD drive is passed over before any file is opened on it.
        if (place.Kind == DiscPlaceCdDrive && !MediaPresent(place.Root))
            continue;
        if (MarkerFileOpens(place.Root, markerFile))
            return CopyText(root, size, place.Root);
    }
    return false;
}

void TakeDiscRoot(const char* root)
{
    CopyText(SetupScript.DiscRoot, root);
    SetupScript.DiscDrive = static_cast<uint8_t>(
        IsDriveRootPath(root) ? DriveNumberFromLetter(root[0]) : 0);
}
