#include "disc/disc_check.h"
#include "disc/drive_text.h"

#include "common/dialog_win32.h"
#include "common/system_text.h"
#include "common/text.h"
#include "res/resource.h"
#include "script/setup_model.h"

#include <cstdlib>
#include <cstring>

// ---- Insert disc --------------------------------------------------------

static void InitInsertDisc(HWND dialog, int discIndex)
{
    char* text = static_cast<char*>(calloc(1, 1024));
    if (!text)
        return;
    if (discIndex >= 0 && discIndex < MaxDiscs)
        FormatText(text, 1024, "『%s』", SetupScript.DISCNAME[discIndex]);
    SysSetDlgItemText(dialog, IDC_DISC_NAME, text);
    free(text);
}

static INT_PTR CALLBACK InsertDiscProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitInsertDisc(dialog, *DialogData<const int>(dialog));
        return TRUE;
    case WM_COMMAND: {
        const int command = LOWORD(wParam);
        if (command == IDOK || command == IDCANCEL || command == IDC_FORCE_RUN)
            EndDialog(dialog, command);
        return TRUE;
    }
    }
    return FALSE;
}

INT_PTR InsertDiscDialog(HWND owner, int discIndex)
{
    return RunModalDialog(IDD_INSERT_DISC, owner, InsertDiscProc, &discIndex);
}

// ---- Drive selection ----------------------------------------------------

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
            if (SysGetDriveType(root) != DRIVE_CDROM)
                continue;
            // The list reads its entries back into 260 bytes.
            if (DescribeCdDrive(root, entry, 260))
                SysComboAddString(list, entry);
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

int LocateDisc(HWND owner, uint32_t disc)
{
    // Disc numbers beyond the product's ten slots name no marker file.
    if (disc == 0 || disc > static_cast<uint32_t>(MaxDiscs))
        return 0;
    for (;;) {
        const int drive = FindDiscDrive(SetupScript.KEYFILE[disc - 1]);
        if (drive != 0) {
            SetupScript.DiscDrive = static_cast<uint8_t>(drive);
            return 1;
        }
        const INT_PTR answer = InsertDiscDialog(owner, static_cast<int>(disc - 1));
        // A dialog that cannot even be opened (-1) would otherwise have the
        // search spin without end and without a window: take it as cancel.
        if (answer == IDCANCEL || answer == -1)
            return 0;
        if (answer == IDC_FORCE_RUN) {
            const INT_PTR chosen = DriveSelectDialog(owner);
            if (chosen >= 1 && chosen <= 26) {
                SetupScript.DiscDrive = static_cast<uint8_t>(chosen);
                return 1;
            }
        }
    }
}
