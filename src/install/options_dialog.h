// The install options dialog (template 101) and its free-space warning (113).
#pragma once

#include <windows.h>

// Runs the dialog modally without owner. Confirmed: AppMode stays
// ModeInstall with InstallBasePath, InstallFolder and InstallOption set.
// Cancelled: ModeMenu. No logo: ModeExit. Returns 0, or -1 when the dialog
// could not be made.
INT_PTR InstallOptionsDialog();

// The same choice without the dialog, from the run's switches (/DIR,
// /OPTION, /NODESKTOP), with the dialog's checks: true with InstallBasePath,
// InstallFolder and InstallOption set; false, with the reason in the log,
// when the dialog would have refused them (a short disk too: no one is
// there to force past the warning).
bool ChooseOptionsUnattended();

// The dialog's procedure; its data is the one InstallOptionsDialog hands it.
INT_PTR CALLBACK InstallOptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// "戻る" ends it with 1 (back to the options), "強制実行" (also Esc and the
// close box) with 0 (go on).
INT_PTR CALLBACK DiskSpaceWarningDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);

// Resolves the 260-byte `path` into an absolute path (an empty text means
// the current folder). False, leaving it as it was, when the system rejects
// it or the result needs 260 bytes or more.
bool NormalizeInstallPath(char* path);
