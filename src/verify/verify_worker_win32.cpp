#include "verify/verify_worker_win32.h"
#include "verify/verify_run.h"

#include "script/setup_model.h"

// The bar is redrawn at most this often, and at the end of every file: the
// eye cannot tell more than a few dozen redraws a second apart, and each
// one costs the dialog's thread a repaint.
static constexpr DWORD ProgressRedrawMilliseconds = 40;

struct DialogView {
    HWND Dialog;
    uint32_t Range;         // of the current file
    DWORD LastRedraw;       // tick of the last position told
};

// Posted rather than sent: the worker goes on reading while the dialog's
// thread updates and repaints its controls (waiting for each update held
// the check to nine tenths of the speed of the reading alone). Should the
// dialog's queue be full, the update is sent instead, so that none is lost.
// Posted messages keep their order, so WM_VERIFY_DONE comes after them all.
static void Tell(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!PostMessageW(dialog, message, wParam, lParam))
        SendMessageW(dialog, message, wParam, lParam);
}

static void ShowStatus(void* context, int item, const char* status)
{
    // The status texts are constants: the pointer outlives the message.
    Tell(static_cast<DialogView*>(context)->Dialog, VerifyMsgStatus, static_cast<WPARAM>(item),
         reinterpret_cast<LPARAM>(status));
}

static void StartProgress(void* context, uint32_t range)
{
    auto* view = static_cast<DialogView*>(context);
    view->Range = range;
    view->LastRedraw = GetTickCount();
    Tell(view->Dialog, VerifyMsgRange, range, 0);
}

static void ShowProgress(void* context, uint32_t position)
{
    auto* view = static_cast<DialogView*>(context);
    const DWORD now = GetTickCount();
    if (position < view->Range && now - view->LastRedraw < ProgressRedrawMilliseconds)
        return;
    view->LastRedraw = now;
    Tell(view->Dialog, VerifyMsgPosition, position, 0);
}

// Takes every waiting thread message; true when one of them asks to stop.
static bool StopRequested(Worker* worker)
{
    if (worker->StopRequested)
        return true;
    if (!WorkerShouldLook(worker))
        return false;
    bool stop = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_VERIFY_STOP)
            stop = true;
    }
    return stop;
}

static DWORD WINAPI VerifyWorker(LPVOID parameter)
{
    FileCheckRun* run = static_cast<FileCheckRun*>(parameter);
    const HWND dialog = run->Dialog;
    // The first request: WM_VERIFY_STOP (or the stop flag) ends the thread,
    // anything else starts the run.
    MSG message;
    if (!WaitForWorkerMessage(&run->Thread, &message) || message.message == WM_VERIFY_STOP)
        return 0;
    DialogView shown = {dialog, 0, 0};
    const VerifyView view = {&shown, ShowStatus, StartProgress, ShowProgress};
    uint8_t piece[VerifyPieceSize];
    for (;;) {
        if (StopRequested(&run->Thread)) {
            AbandonVerifyRun(&run->State);
            return 0;
        }
        if (!VerifyStep(&run->State, view, SetupScript.InstallFolder, piece)) {
            PostMessageW(dialog, WM_VERIFY_DONE, 0, 0);
            return 0;
        }
    }
}

bool StartVerifyWorker(FileCheckRun* run)
{
    return StartWorker(&run->Thread, VerifyWorker, run);
}

void RequestVerifyStart(FileCheckRun* run)
{
    PostWorkerMessage(&run->Thread, WM_VERIFY_START);
}

void RequestVerifyStop(FileCheckRun* run)
{
    RequestWorkerStop(&run->Thread, WM_VERIFY_STOP);
}

void WaitForVerifyWorker(FileCheckRun* run)
{
    JoinWorker(&run->Thread);
}
