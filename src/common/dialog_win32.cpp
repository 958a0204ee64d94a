#include "common/dialog_win32.h"

namespace {

struct DialogStart {
    DLGPROC Procedure;
    void* Data;
};

// Stands in for the dialog's procedure until WM_INITDIALOG, the first
// message that carries the creation parameter: keeps the data, hands the
// window to the real procedure and lets it initialise. What comes before
// (the font, the frame) is the system's own.
INT_PTR CALLBACK StartDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    const DialogStart* start = reinterpret_cast<const DialogStart*>(lParam);
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(start->Data));
    SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(start->Procedure));
    return start->Procedure(dialog, message, wParam, reinterpret_cast<LPARAM>(start->Data));
}

}  // namespace

HINSTANCE ModuleInstance()
{
    return GetModuleHandleW(nullptr);
}

INT_PTR RunModalDialog(int templateId, HWND owner, DLGPROC procedure, void* data)
{
    DialogStart start = {procedure, data};
    // The wide form: every dialog is a Unicode window, its texts set and read
    // through the system-text layer.
    return DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId), owner, StartDialog,
                           reinterpret_cast<LPARAM>(&start));
}
