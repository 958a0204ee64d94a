#include "disc/disc_check.h"
#include "disc/drive_text.h"

#include "common/system_dlls.h"
#include "common/system_text.h"
#include "common/text.h"

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
    if (!FormatText(path, sizeof path, "%s%s", root, markerFile))
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
