#include "verify/file_check.h"
#include "verify/repair_win32.h"
#include "verify/verify_repair.h"
#include "verify/verify_run.h"
#include "verify/verify_worker_win32.h"

#include "common/dialog_win32.h"
#include "common/run_switches.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "res/resource.h"
#include "script/setup_model.h"

#include <commctrl.h>

#include <memory>
#include <new>

const char FileCheckSoundText[] = "インストールされたファイルはすべて正常です。";
const char FileCheckRepairOfferText[] =
    "エラーになったファイルがあります。これらのファイルをディスクから修復しますか？\n"
    "（修復しない場合は、ゲームを実行せず、再インストールして下さい。）";

static HWND CheckList(HWND dialog) { return GetDlgItem(dialog, IDC_CHECK_LIST); }

static void SetItemStatus(HWND list, int item, const char* status)
{
    SysListViewSetItemText(list, item, 1, status);
}

static void AddItem(void* context, int item, const char* name)
{
    const HWND list = static_cast<HWND>(context);
    SysListViewInsertItem(list, item, name);
    SetItemStatus(list, item, StatusNotRun);
}

static FileCheckRun* RunOf(HWND dialog) { return DialogData<FileCheckRun>(dialog); }

// The dialog looks at the run this often: the eye cannot tell more redraws
// a second apart, and their number no longer grows with the files'.
static constexpr UINT GlanceMilliseconds = 40;
static constexpr UINT_PTR GlanceTimer = 1;

static void ShowStatus(void* context, int item, const char* status)
{
    SetItemStatus(CheckList(static_cast<HWND>(context)), item, status);
}

// A new file: the bar counts its pieces from 0.
static void ShowRange(void* context, uint32_t range)
{
    const HWND bar = GetDlgItem(static_cast<HWND>(context), IDC_CHECK_PROGRESS);
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, range));
    SendMessageW(bar, PBM_SETSTEP, 1, 0);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
}

static void ShowPosition(void* context, uint32_t position)
{
    SendDlgItemMessageW(static_cast<HWND>(context), IDC_CHECK_PROGRESS, PBM_SETPOS, position, 0);
}

// Shows what the hashers have found since the last look.
static void OnGlance(HWND dialog)
{
    FileCheckRun* run = RunOf(dialog);
    EnterCriticalSection(&run->Lock);
    const VerifyGlance now = GlanceAtVerifyOrder(&run->Order);
    LeaveCriticalSection(&run->Lock);
    ShowVerifyGlance(&run->Order, &run->Shown, now, {dialog, ShowStatus, ShowRange, ShowPosition});
}

// Stops a worker that still runs or waits, and waits for its end.
static void EndWorker(FileCheckRun* run)
{
    if (!WorkerRunning(&run->Thread))
        return;
    RequestVerifyStop(run);
    WaitForVerifyWorker(run);
}

static void OnInitDialog(HWND dialog)
{
    char caption[1024] = {};
    FormatText(caption, sizeof caption, "『%s』ファイルチェック", SetupScript.APPLITITLE);
    SysSetWindowText(dialog, caption);
    const HWND list = CheckList(dialog);
    SysListViewInsertColumn(list, 0, "ファイル", 150);
    SysListViewInsertColumn(list, 1, "検証結果", 100);
    FileCheckRun* run = RunOf(dialog);
    run->Dialog = dialog;
    run->State.Items = &run->Items;
    CollectVerifyItems(&run->Items, AddItem, list);
    StartVerifyWorker(run);
}

static void OnRun(HWND dialog)
{
    const HWND button = GetDlgItem(dialog, IDOK);
    // The Enter key can still send the command while a run keeps the button off.
    if (!IsWindowEnabled(button))
        return;
    EnableWindow(button, FALSE);
    FileCheckRun* run = RunOf(dialog);
    // After a finished run the worker has ended: a new one checks everything again.
    if (!WorkerRunning(&run->Thread)) {
        const HWND list = CheckList(dialog);
        for (int item = 0; item < run->Items.Count; ++item)
            SetItemStatus(list, item, StatusNotRun);
        SendDlgItemMessageW(dialog, IDC_CHECK_PROGRESS, PBM_SETPOS, 0, 0);
        if (!StartVerifyWorker(run)) {
            EnableWindow(button, TRUE);
            return;
        }
    }
    PrepareVerifyRun(run);
    run->Shown = NothingShown;
    SetTimer(dialog, GlanceTimer, GlanceMilliseconds, nullptr);
    RequestVerifyStart(run);
}

static void OnStop(HWND dialog)
{
    KillTimer(dialog, GlanceTimer);
    EndWorker(RunOf(dialog));
    EndDialog(dialog, IDCANCEL);
}

// What the repair shows of an item: its work, its new verdict, or (null)
// the verdict it had.
static void ShowRepair(HWND dialog, int item, const char* status)
{
    FileCheckRun* run = RunOf(dialog);
    SetItemStatus(CheckList(dialog), item, status != nullptr ? status : run->Order.Verdict[item]);
    UpdateWindow(CheckList(dialog));
}

// Copies back what the check found, then tells what became of each file.
static void OnRepair(HWND dialog)
{
    FileCheckRun* run = RunOf(dialog);
    PlanRepair(&run->Items, run->Order.Verdict, &run->Repair);
    const HWND end = GetDlgItem(dialog, IDCANCEL);
    EnableWindow(end, FALSE);
    const bool finished = RepairFiles(dialog, &run->Items, &run->Repair, ShowRepair);
    EnableWindow(end, TRUE);
    uint32_t left = 0;
    for (int i = 0; i < run->Repair.Count; ++i) {
        if (run->Repair.Fate[i] == RepairDone)
            run->Order.Verdict[run->Repair.Item[i]] = StatusOk;
        else
            ++left;
    }
    run->State.ErrorCount = left;
    char text[4096];
    FormatRepairOutcome(&run->Items, &run->Repair, !finished, text, sizeof text);
    SysMessageBox(dialog, text, "Drubel", MB_OK);
}

static void OnDone(HWND dialog)
{
    // A report from a worker already waited for (stopped meanwhile) is stale.
    FileCheckRun* run = RunOf(dialog);
    if (!WorkerRunning(&run->Thread))
        return;
    WaitForVerifyWorker(run);
    KillTimer(dialog, GlanceTimer);
    OnGlance(dialog);
    if (run->State.ErrorCount == 0)
        SysMessageBox(dialog, FileCheckSoundText, "Drubel", MB_OK);
    else if (SysMessageBox(dialog, FileCheckRepairOfferText, "Drubel", MB_YESNO) == IDYES)
        OnRepair(dialog);
    EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
}

static INT_PTR CALLBACK FileCheckDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
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
        EndWorker(RunOf(dialog));
        return TRUE;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam == GlanceTimer)
            OnGlance(dialog);
        return TRUE;
    case WM_VERIFY_DONE:
        OnDone(dialog);
        return TRUE;
    }
    return FALSE;
}

void FileCheckDialog(FileCheckRun* run)
{
    RunModalDialog(IDD_FILE_CHECK, nullptr, FileCheckDialogProc, run);
}

static void LogRepair(HWND, int item, const char* status)
{
    (void)item;
    (void)status;
}

// /REPAIR: the check, then the repair of what it found, with no questions.
// Sound at the end (every file, repaired or not needing it): ExitDone.
static void FileCheckUnattended()
{
    std::unique_ptr<FileCheckRun> run(new (std::nothrow) FileCheckRun());
    if (!run) {
        RunExitCode = ExitFatalDuringCopy;
        return;
    }
    CollectVerifyItems(&run->Items, [](void*, int, const char*) {}, nullptr);
    PrepareVerifyRun(run.get());
    // Only without memory for a single piece is there no verdict to go on.
    if (!HashOnEveryCore(run.get(), [](void*) { return false; })) {
        LogLine("check: the files could not be read");
        RunExitCode = ExitFatalDuringCopy;
        return;
    }
    for (int item = 0; item < run->Items.Count; ++item)
        if (run->Order.Verdict[item] != StatusOk)
            LogLine("check: %s: %s", run->Items.Name[item], run->Order.Verdict[item]);
    LogLine("check: %d files, %u in error", run->Items.Count, run->Order.ErrorCount);
    PlanRepair(&run->Items, run->Order.Verdict, &run->Repair);
    const bool finished = run->Repair.Count == 0 || RepairFiles(nullptr, &run->Items, &run->Repair, LogRepair);
    int left = 0;
    for (int i = 0; i < run->Repair.Count; ++i) {
        LogLine("repair: %s: %s", run->Items.Name[run->Repair.Item[i]],
                run->Repair.Fate[i] == RepairDone ? "repaired" : "not repaired");
        left += run->Repair.Fate[i] == RepairDone ? 0 : 1;
    }
    if (!finished)
        LogLine("repair: a disc was not found; the repair stopped");
    RunExitCode = left == 0 ? ExitDone : ExitFatalDuringCopy;
}

void FileCheckDialog()
{
    if (Unattended(ActiveSwitches)) {
        FileCheckUnattended();
        return;
    }
    // The item tables take megabytes: not a stack's.
    std::unique_ptr<FileCheckRun> run(new (std::nothrow) FileCheckRun());
    if (run)
        FileCheckDialog(run.get());
}
