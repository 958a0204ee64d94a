#include "disc/disc_check.h"
#include "disc/disc_places.h"
#include "disc/drive_text.h"

#include "common/run_switches.h"
#include "common/setup_log.h"
#include "common/dialog_win32.h"
#include "common/drive_root.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "res/resource.h"
#include "script/setup_model.h"

#include <cstdlib>
#include <cstring>

// ---- Insert disc --------------------------------------------------------

// The insert-disc dialog's data: which disc it names, and the folder the
// player picked when it ends with IDC_BROWSE_DISC.
struct InsertDiscData {
    int DiscIndex;
    char Folder[PathWidth];
};

static void InitInsertDisc(HWND dialog, const InsertDiscData* data)
{
    char* text = static_cast<char*>(calloc(1, 1024));
    if (!text)
        return;
    if (data->DiscIndex >= 0 && data->DiscIndex < MaxDiscs)
        FormatText(text, 1024, "『%s』", SetupScript.DISCNAME[data->DiscIndex]);
    SysSetDlgItemText(dialog, IDC_DISC_NAME, text);
    free(text);
}

// A copy of the disc in a folder (a USB stick, a download): the player
// points at it. A folder without the disc's marker file is not taken; the
// dialog says so and stays, as the next-disk prompts players know do.
static void OnBrowseDisc(HWND dialog, InsertDiscData* data)
{
    if (data->DiscIndex < 0 || data->DiscIndex >= MaxDiscs)
        return;
    char folder[PathWidth] = {};
    const SysBrowseResult result = SysBrowseForFolder(
        dialog, "ディスクの内容が入っているフォルダを選択して下さい。", folder, sizeof folder);
    if (result == SysBrowseCancelled)
        return;
    if (result == SysBrowseChosen && folder[0] != '\0' &&
        (EndsWithBackslash(folder) || AppendText(folder, "\\")) &&
        DiscRootHoldsMarker(folder, SetupScript.KEYFILE[data->DiscIndex])) {
        CopyText(data->Folder, folder);
        EndDialog(dialog, IDC_BROWSE_DISC);
        return;
    }
    if (result == SysBrowseChosen)
        LogLine("The folder chosen for disc %d does not hold %s: %s", data->DiscIndex + 1,
                SetupScript.KEYFILE[data->DiscIndex], folder);
    char text[1024];
    FormatDiscFolderRefusal(text, sizeof text, SetupScript.DISCNAME[data->DiscIndex]);
    SysMessageBox(dialog, text, SetupScript.APPLITITLE, MB_OK | MB_ICONEXCLAMATION);
}

static INT_PTR CALLBACK InsertDiscProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitInsertDisc(dialog, DialogData<InsertDiscData>(dialog));
        return TRUE;
    case WM_COMMAND: {
        const int command = LOWORD(wParam);
        if (command == IDOK || command == IDCANCEL || command == IDC_FORCE_RUN)
            EndDialog(dialog, command);
        else if (command == IDC_BROWSE_DISC)
            OnBrowseDisc(dialog, DialogData<InsertDiscData>(dialog));
        return TRUE;
    }
    }
    return FALSE;
}

INT_PTR InsertDiscDialog(HWND owner, int discIndex, char* folder, size_t folderSize)
{
    InsertDiscData data = {discIndex, {}};
    const INT_PTR result = RunModalDialog(IDD_INSERT_DISC, owner, InsertDiscProc, &data);
    if (folder != nullptr && folderSize > 0)
        CopyText(folder, folderSize, result == IDC_BROWSE_DISC ? data.Folder : "");
    return result;
}

// ---- Drive selection ----------------------------------------------------

// A removable drive the list offers: not a floppy, whose look would seek.
static bool IsListedRemovable(const char* root)
{
    char device[128];
    ReadDriveDevice(root[0], device, sizeof device);
    return ClassifyDiscDrive(root[0], DRIVE_REMOVABLE, device) == DiscDriveRemovable;
}

static void FillDriveList(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_DRIVE_LIST);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    // The drive roots in the first 260 bytes, the entry text after them.
    char* buffer = static_cast<char*>(calloc(1, 780));
    if (!buffer)
        return;
    char* roots = buffer;
    char* entry = buffer + 260;
    const DWORD length = SysGetLogicalDriveStrings(roots, 260);
    if (length > 0 && length < 260) {
        for (const char* root = roots; root < roots + length && *root != '\0';
             root += strlen(root) + 1) {
            const UINT type = SysGetDriveType(root);
            // The list reads its entries back into 260 bytes.
            if (type == DRIVE_CDROM) {
                if (DescribeCdDrive(root, entry, 260))
                    SysComboAddString(list, entry);
            } else if (type == DRIVE_REMOVABLE && IsListedRemovable(root)) {
                FormatRemovableDriveEntry(entry, 260, root[0]);
                SysComboAddString(list, entry);
            }
        }
    }
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    free(buffer);
}

static INT_PTR ChosenDrive(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_DRIVE_LIST);
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return 0;
    char text[260] = {};
    if (!SysComboGetText(list, static_cast<int>(index), text, sizeof text))
        return 0;
    return DriveNumberFromEntry(text);
}

static INT_PTR CALLBACK DriveSelectProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        FillDriveList(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            EndDialog(dialog, ChosenDrive(dialog));
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR DriveSelectDialog(HWND owner)
{
    return RunModalDialog(IDD_DRIVE_SELECT, owner, DriveSelectProc, nullptr);
}

// ---- The search loop ----------------------------------------------------

static const char* PromptAnswerName(INT_PTR answer)
{
    switch (answer) {
    case IDOK:
        return "OK (search again)";
    case IDCANCEL:
        return "cancel";
    case IDC_FORCE_RUN:
        return "force a drive";
    case IDC_BROWSE_DISC:
        return "a folder";
    }
    return "no answer (the dialog did not open)";
}

// Where the disc was taken from, for the setup log.
static void LogDiscTaken(uint32_t disc, const char* how)
{
    LogLine("Disc %u found %s: %s (%s)", disc, how, SetupScript.DiscRoot,
            SetupScript.DiscDrive != 0 ? "a drive" : "a folder");
}

int LocateDisc(HWND owner, uint32_t disc)
{
    // Disc numbers beyond the product's ten slots name no marker file.
    if (disc == 0 || disc > static_cast<uint32_t>(MaxDiscs))
        return 0;
    for (;;) {
        char root[PathWidth];
        if (FindDiscRoot(SetupScript.KEYFILE[disc - 1], root, sizeof root)) {
            TakeDiscRoot(root);
            LogDiscTaken(disc, "by the search");
            return 1;
        }
        // Nobody is there to insert it: the run ends as if it were cancelled.
        if (ActiveSwitches.VerySilent) {
            LogLine("disc %u (%s) not found", disc, SetupScript.KEYFILE[disc - 1]);
            return 0;
        }
        char folder[PathWidth] = {};
        LogLine("Disc %u (%s) not found: the player is asked to insert it", disc, SetupScript.KEYFILE[disc - 1]);
        const INT_PTR answer =
            InsertDiscDialog(owner, static_cast<int>(disc - 1), folder, sizeof folder);
        LogLine("Insert-disc prompt for disc %u: %s", disc, PromptAnswerName(answer));
        // A dialog that cannot even be opened (-1) would otherwise have the
        // search spin without end and without a window: take it as cancel.
        if (answer == IDCANCEL || answer == -1)
            return 0;
        if (answer == IDC_BROWSE_DISC && folder[0] != '\0') {
            TakeDiscRoot(folder);
            LogDiscTaken(disc, "in the folder the player chose");
            return 1;
        }
        if (answer == IDC_FORCE_RUN) {
            const INT_PTR chosen = DriveSelectDialog(owner);
            char driveRoot[4];
            if (chosen >= 1 && chosen <= 26 &&
                FormatDriveRoot(static_cast<int>(chosen), driveRoot, sizeof driveRoot)) {
                TakeDiscRoot(driveRoot);
                LogDiscTaken(disc, "in the drive the player forced");
                return 1;
            }
            LogLine("Drive selection for disc %u: none chosen", disc);
        }
    }
}
