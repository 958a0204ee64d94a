#include "verify/file_check.h"
#include "verify/verify_run.h"
#include "verify/verify_worker_win32.h"

#include "common/dialog_win32.h"
#include "common/text.h"
#include "res/resource.h"
#include "script/setup_model.h"

#include <commctrl.h>

const char FileCheckSoundText[] = "インストールされたファイルはすべて正常です。";
const char FileCheckDamagedText[] =
    "エラーになったファイルがあります。ゲームを実行せず、再インストールして下さい。";

static HWND CheckList(HWND dialog) { return GetDlgItem(dialog, IDC_CHECK_LIST); }

static void SetItemStatus(HWND list, int item, const char* status)
{
    LVITEMA text = {};
    text.iSubItem = 1;
    text.pszText = const_cast<char*>(status);
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&text));
}

static void AddColumn(HWND list, int index, const char* title, int width)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(title);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

static void AddItem(void* context, int item, const char* name)
{
    const HWND list = static_cast<HWND>(context);
    LVITEMA entry = {};
    entry.mask = LVIF_TEXT;
    entry.iItem = item;
    entry.pszText = const_cast<char*>(name);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&entry));
    SetItemStatus(list, item, StatusNotRun);
}

// Stops a worker that still runs or waits, and waits for its end.
static void EndWorker()
{
    if (!WorkerRunning(&VerifyWorkerThread))
        return;
    RequestVerifyStop();
    WaitForVerifyWorker();
}

static void OnInitDialog(HWND dialog)
{
    char caption[1024] = {};
    FormatText(caption, sizeof caption, "『%s』ファイルチェック", SetupScript.APPLITITLE);
    SetWindowTextA(dialog, caption);
    const HWND list = CheckList(dialog);
    AddColumn(list, 0, "ファイル", 150);
    AddColumn(list, 1, "検証結果", 100);
    CollectVerifyItems(AddItem, list);
    StartVerifyWorker(dialog);
}

static void OnRun(HWND dialog)
{
    const HWND button = GetDlgItem(dialog, IDOK);
    // The Enter key can still send the command while a run keeps the button off.
    if (!IsWindowEnabled(button))
        return;
    EnableWindow(button, FALSE);
    // After a finished run the worker has ended: a new one checks everything again.
    if (!WorkerRunning(&VerifyWorkerThread)) {
        const HWND list = CheckList(dialog);
        for (int item = 0; item < ItemCount; ++item)
            SetItemStatus(list, item, StatusNotRun);
        SendDlgItemMessageA(dialog, IDC_CHECK_PROGRESS, PBM_SETPOS, 0, 0);
        if (!StartVerifyWorker(dialog)) {
            EnableWindow(button, TRUE);
            return;
        }
    }
    ResetVerifyState(&VerifyRun);
    RequestVerifyStart();
}

static void OnStop(HWND dialog)
{
    EndWorker();
    EndDialog(dialog, IDCANCEL);
}

static void OnDone(HWND dialog)
{
    // A report from a worker already waited for (stopped meanwhile) is stale.
    if (!WorkerRunning(&VerifyWorkerThread))
        return;
    WaitForVerifyWorker();
    MessageBoxA(dialog, VerifyRun.ErrorCount != 0 ? FileCheckDamagedText : FileCheckSoundText,
                "Drubel", MB_OK);
    EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
}

// A new file: the bar counts its pieces from 0.
static void OnRange(HWND dialog, uint32_t range)
{
    const HWND bar = GetDlgItem(dialog, IDC_CHECK_PROGRESS);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, range));
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    SendMessageA(bar, PBM_SETPOS, 0, 0);
}

static INT_PTR CALLBACK FileCheckDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnRun(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            OnStop(dialog);
        return TRUE;
    case WM_CLOSE:
        OnStop(dialog);
        return TRUE;
    case WM_DESTROY:
        EndWorker();
        return TRUE;
    }
    switch (message) {
    case VerifyMsgStatus:
        SetItemStatus(CheckList(dialog), static_cast<int>(wParam), reinterpret_cast<const char*>(lParam));
        return TRUE;
    case VerifyMsgRange:
        OnRange(dialog, static_cast<uint32_t>(wParam));
        return TRUE;
    case VerifyMsgPosition:
        SendDlgItemMessageA(dialog, IDC_CHECK_PROGRESS, PBM_SETPOS, wParam, 0);
        return TRUE;
    case WM_VERIFY_DONE:
        OnDone(dialog);
        return TRUE;
    }
    return FALSE;
}

void FileCheckDialog()
{
    RunModalDialog(IDD_FILE_CHECK, nullptr, FileCheckDialogProc, nullptr);
}
