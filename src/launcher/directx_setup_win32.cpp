#include "launcher/launcher.h"
#include "launcher/launcher_text.h"

#include "common/setup_log.h"
#include "common/system_text.h"
#include "disc/disc_check.h"
#include "script/setup_model.h"

// The first DXDISC disc that is in a drive or in a folder the search looks
// at: true with it taken as the located disc. Leaves the last probe's
// answer in DiscDrive.
static bool FindDirectXDisc()
{
    for (int slot = 0; slot < MaxDiscs; ++slot) {
        const uint32_t disc = SetupScript.DXDISC[slot];
        if (disc == 0)
            continue;
        // A number beyond the ten discs has no marker file to look for.
        if (disc > static_cast<uint32_t>(MaxDiscs))
            continue;
        char root[PathWidth];
        if (FindDiscRoot(SetupScript.KEYFILE[disc - 1], root, sizeof root)) {
            TakeDiscRoot(root);
            LogLine("DirectX disc %u found: %s", disc, root);
            return true;
        }
        SetupScript.DiscDrive = 0;
    }
    return false;
}

static void StartDirectXSetup(const char* root)
{
    char path[MAX_PATH] = {};
    char commandLine[MAX_PATH] = {};
    PROCESS_INFORMATION process = {};
    bool started = false;
    if (FormatDirectXPathAt(path, sizeof path, root, SetupScript.DXPLACE)) {
        FormatDirectXPathAt(commandLine, sizeof commandLine, root, SetupScript.DXPLACE);
        started = SysCreateProcess(path, commandLine, 0, nullptr, &process);
        LogResult(started, "Start the DirectX setup %s", path);
    } else {
        LogLine("Start the DirectX setup: no path fits for %s", SetupScript.DXPLACE);
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
        if (FindDirectXDisc()) {
            StartDirectXSetup(SetupScript.DiscRoot);
            break;
        }
        LogLine("No DirectX disc found");
        // Anything but OK, a failed box included, ends the search.
        if (SysMessageBox(dialog, prompt, SetupScript.APPLITITLE, MB_OKCANCEL) != IDOK)
            break;
    }
    SetupScript.AppMode = ModeMenu;
}
