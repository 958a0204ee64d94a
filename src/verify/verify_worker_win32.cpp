#include "verify/verify_worker_win32.h"
#include "verify/verify_run.h"

#include "common/setup_log.h"
#include "script/setup_model.h"

#include <memory>
#include <new>

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

int VerifyHasherCount()
{
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    const int cores = static_cast<int>(system.dwNumberOfProcessors);
    return cores < 2 ? 2 : cores > MaxVerifyHashers ? MaxVerifyHashers : cores;
}

static void EnterLock(void* context) { EnterCriticalSection(static_cast<CRITICAL_SECTION*>(context)); }
static void LeaveLock(void* context) { LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(context)); }

// The further hashers see the flag only; the worker itself also takes its
// thread messages, where a stop may come some other way.
static bool FlagRaised(void* context) { return static_cast<Worker*>(context)->StopRequested; }
static bool WorkerStopped(void* context) { return StopRequested(static_cast<Worker*>(context)); }

struct Hasher {
    FileCheckRun* Run;
    VerifyState* State;
    const VerifyView* Shown;
};

static bool HashShare(FileCheckRun* run, VerifyState* state, const VerifyView& shown,
                      bool (*stop)(void*), bool largest)
{
    std::unique_ptr<uint8_t[]> piece(new (std::nothrow) uint8_t[VerifyPieceSize]);
    if (!piece)
        return stop(&run->Thread) ? false : true;
    HasherReport report = {&run->Order, &shown, &run->Lock, EnterLock, LeaveLock, -1, 0, largest};
    return RunHasher(state, &report, SetupScript.InstallFolder, piece.get(), stop, &run->Thread);
}

static DWORD WINAPI FurtherHasher(LPVOID parameter)
{
    Hasher* hasher = static_cast<Hasher*>(parameter);
    HashShare(hasher->Run, hasher->State, *hasher->Shown, FlagRaised, true);
    return 0;
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
    if (!run->LockReady) {
        InitializeCriticalSection(&run->Lock);
        run->LockReady = true;
    }
    DialogView shown = {dialog, 0, 0};
    const VerifyView view = {&shown, ShowStatus, StartProgress, ShowProgress};
    ResetVerifyOrder(&run->Order, run->Items.Count);
    OrderLargestFirst(&run->Order, run->Items.Size);

    Hasher hashers[MaxVerifyHashers - 1];
    HANDLE threads[MaxVerifyHashers - 1];
    int started = 0;
    for (int i = 0; i < VerifyHasherCount() - 1; ++i) {
        VerifyState* state = &run->Hashers[i];
        state->Items = &run->Items;
        ResetVerifyState(state);
        hashers[started] = {run, state, &view};
        threads[started] = CreateThread(nullptr, 0, FurtherHasher, &hashers[started], 0, nullptr);
        // One hasher fewer is slower, not wrong.
        if (threads[started] != nullptr)
            ++started;
    }
    const bool finished = HashShare(run, &run->State, view, WorkerStopped, false);
    // A stop seen here reaches the others through the flag.
    if (!finished)
        run->Thread.StopRequested = true;
    if (started > 0)
        WaitForMultipleObjects(static_cast<DWORD>(started), threads, TRUE, INFINITE);
    for (int i = 0; i < started; ++i)
        CloseHandle(threads[i]);
    if (!finished || !VerifyOrderDone(&run->Order))
        return 0;
    run->State.ErrorCount = run->Order.ErrorCount;
    for (int item = 0; item < run->Items.Count; ++item)
        if (run->Order.Verdict[item] != nullptr && run->Order.Verdict[item] != StatusOk)
            LogLine("File check NG: %s: %s", run->Items.Name[item], run->Order.Verdict[item]);
    LogLine("File check done: %d files, %u NG", run->Items.Count, static_cast<unsigned>(run->State.ErrorCount));
    PostMessageW(dialog, WM_VERIFY_DONE, 0, 0);
    return 0;
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
