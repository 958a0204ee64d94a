#include "uninstall/uninstall.h"
#include "uninstall/uninstall_paths.h"

#include "common/dialog_win32.h"
#include "common/run_switches.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "res/resource.h"
#include "script/setup_model.h"

#include <windows.h>

static void OnInitDialog(HWND dialog)
{
    char caption[PathWidth] = {};
    FormatUninstallCaption(caption, sizeof caption, SetupScript.APPLITITLE);
    SysSetWindowText(dialog, caption);
}

static void OnRun(HWND dialog)
{
    const int deleteSaveData = IsDlgButtonChecked(dialog, IDC_DELETE_SAVE_DATA) == BST_CHECKED;
    const int allRemoved = RunUninstallSequence(deleteSaveData);
    SysMessageBox(dialog, UninstallClosingMessage(allRemoved != 0), SetupScript.APPLITITLE, MB_OK);
    // AppMode stays ModeUninstall: the mode loop ends the program.
    EndDialog(dialog, 0);
}

static void OnCancel(HWND dialog)
{
    SetupScript.AppMode = ModeMenu;
    EndDialog(dialog, 0);
}

static INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnRun(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            OnCancel(dialog);
        return TRUE;
    case WM_CLOSE:
        OnCancel(dialog);
        return TRUE;
    }
    return FALSE;
}

// An installation whose folder the player deleted by hand has nothing left
// to remove but what names it: say so, and take that away.
static bool InstallFolderIsGone()
{
    if (SysGetFileAttributes(SetupScript.InstallFolder) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// /UNINSTALL with /SILENT or /VERYSILENT: the dialog's "実行" without the
// dialog, the saves kept unless /DELETESAVES, nothing asked; the closing
// message goes to the log only.
static void UninstallUnattended()
{
    if (!SetupScript.IsInstalled) {
        LogLine("uninstall: the game is not installed");
        RunExitCode = ExitCouldNotStart;
        SetupScript.AppMode = ModeExit;
        return;
    }
    if (InstallFolderIsGone()) {
        LogLine("uninstall: the install folder %s is gone; its links and records are removed",
                SetupScript.InstallFolder);
        ForgetMissingInstallation();
        RunExitCode = ExitDone;
        return;
    }
    LogLine("uninstall from %s, saves %s", SetupScript.InstallFolder,
            ActiveSwitches.DeleteSaves ? "removed" : "kept");
    const int allRemoved = RunUninstallSequence(ActiveSwitches.DeleteSaves ? 1 : 0);
    LogLine("uninstall: %s", UninstallClosingMessage(allRemoved != 0));
    RunExitCode = allRemoved ? ExitDone : ExitFatalDuringCopy;
}

void UninstallDialog()
{
    if (Unattended(ActiveSwitches)) {
        UninstallUnattended();
        return;
    }
    if (SetupScript.IsInstalled && InstallFolderIsGone()) {
        char text[PathWidth + 256];
        FormatMissingInstallMessage(text, sizeof text, SetupScript.InstallFolder);
        SysMessageBox(nullptr, text, SetupScript.APPLITITLE, MB_OK | MB_ICONINFORMATION);
        ForgetMissingInstallation();
        // AppMode stays ModeUninstall: the mode loop ends the program.
        return;
    }
    const INT_PTR result = RunModalDialog(IDD_UNINSTALL, nullptr, UninstallDialogProc, nullptr);
    // A dialog that could not open removed nothing: back to the launcher
    // rather than ending as if the game were gone.
    if (result == -1)
        SetupScript.AppMode = ModeMenu;
}
