// One way to run a modal dialog of the program. Every dialog is created
// here, from the program's own templates, with its data handed over as the
// creation parameter and kept in the window's user data, so that no dialog
// reads a global for what it shows or holds.
//
// The convention of every dialog procedure: command ids are read with
// LOWORD(wParam); a handled message returns TRUE, an unhandled one FALSE;
// WM_INITDIALOG returns TRUE unless the procedure set the focus itself.
#pragma once

#include <windows.h>

// The module whose resources hold the dialog templates and window classes:
// the program is one file, and its own module is that one.
HINSTANCE ModuleInstance();

// Runs template `templateId` modally, owned by `owner` (null for none), as
// a Unicode window: every text set in it or read from it goes through
// common/system_text.h.
// `data` (may be null) is in the dialog's user data from WM_INITDIALOG on,
// where `procedure` also receives it as lParam. Returns what the dialog
// ended with, or -1 when it could not be made.
INT_PTR RunModalDialog(int templateId, HWND owner, DLGPROC procedure, void* data);

// The data RunModalDialog handed to the dialog.
template <typename T>
T* DialogData(HWND dialog)
{
    return reinterpret_cast<T*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}
