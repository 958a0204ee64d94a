#include "launcher/launcher.h"
#include "launcher/launcher_text.h"

#include "common/system_text.h"
#include "disc/disc_check.h"
#include "script/setup_model.h"

// The drive of the first DXDISC disc that is in a drive, or 0. Leaves the
// last probe's answer in DiscDrive.
static int FindDirectXDrive()
{
    for (int slot = 0; slot < MaxDiscs; ++slot) {
        const uint32_t disc = SetupScript.DXDISC[slot];
        if (disc == 0)
            continue;
        // A number beyond the ten discs has no marker file to look for.
        if (disc > static_cast<uint32_t>(MaxDiscs))
            continue;
        const int drive = FindDiscDrive(SetupScript.KEYFILE[disc - 1]);
        SetupScript.DiscDrive = static_cast<uint8_t>(drive);
        if (drive != 0)
            return drive;
    }
    return 0;
}

static void StartDirectXSetup(int drive)
{
    char path[MAX_PATH] = {};
    char commandLine[MAX_PATH] = {};
    PROCESS_INFORMATION process = {};
    bool started = false;
    if (FormatDirectXPath(path, sizeof path, drive, SetupScript.DXPLACE)) {
        FormatDirectXPath(commandLine, sizeof commandLine, drive, SetupScript.DXPLACE);
        started = SysCreateProcess(path, commandLine, 0, nullptr, &process);
    }
    if (started) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        SysMessageBox(nullptr, "DirectX Setup の起動に失敗しました。", SetupScript.APPLITITLE, MB_OK);
    }
}

void LaunchDirectXSetup(HWND dialog)
{
    char prompt[MAX_PATH] = {};
    FormatDirectXPrompt(prompt, sizeof prompt, SetupScript.DXMESSAGE, SetupScript.APPLITITLE);
    for (;;) {
        const int drive = FindDirectXDrive();
        if (drive != 0) {
            StartDirectXSetup(drive);
            break;
        }
        // Anything but OK, a failed box included, ends the search.
        if (SysMessageBox(dialog, prompt, SetupScript.APPLITITLE, MB_OKCANCEL) != IDOK)
            break;
    }
    SetupScript.AppMode = ModeMenu;
}
