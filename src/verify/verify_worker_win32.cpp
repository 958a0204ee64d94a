#include "verify/verify_worker_win32.h"
#include "verify/verify_run.h"

#include "common/setup_log.h"
#include "script/setup_model.h"

#include <memory>
#include <new>

// The hashers tell the dialog nothing: it looks at the order on a timer.
static void Unseen(void*, int, const char*) {}
static void UnseenRange(void*, uint32_t) {}
static void UnseenPosition(void*, uint32_t) {}
static const VerifyView NoView = {nullptr, Unseen, UnseenRange, UnseenPosition};

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
};

static bool HashShare(FileCheckRun* run, VerifyState* state, bool (*stop)(void*), bool largest)
{
    std::unique_ptr<uint8_t[]> piece(new (std::nothrow) uint8_t[VerifyPieceSize]);
    if (!piece)
        return stop(&run->Thread) ? false : true;
    HasherReport report = {&run->Order, &NoView, &run->Lock, EnterLock, LeaveLock, -1, 0, largest};
    return RunHasher(state, &report, SetupScript.InstallFolder, piece.get(), stop, &run->Thread);
}

static DWORD WINAPI FurtherHasher(LPVOID parameter)
{
    Hasher* hasher = static_cast<Hasher*>(parameter);
    HashShare(hasher->Run, hasher->State, FlagRaised, true);
    return 0;
}

void PrepareVerifyRun(FileCheckRun* run)
{
    run->State.Items = &run->Items;
    ResetVerifyState(&run->State);
    ResetVerifyOrder(&run->Order, run->Items.Count);
    OrderLargestFirst(&run->Order, run->Items.Size);
}

bool HashOnEveryCore(FileCheckRun* run, bool (*stop)(void*))
{
    Hasher hashers[MaxVerifyHashers - 1];
    HANDLE threads[MaxVerifyHashers - 1];
    int started = 0;
    for (int i = 0; i < VerifyHasherCount() - 1; ++i) {
        VerifyState* state = &run->Hashers[i];
        state->Items = &run->Items;
        ResetVerifyState(state);
        hashers[started] = {run, state};
        threads[started] = CreateThread(nullptr, 0, FurtherHasher, &hashers[started], 0, nullptr);
        // One hasher fewer is slower, not wrong.
        if (threads[started] != nullptr)
            ++started;
    }
    const bool finished = HashShare(run, &run->State, stop, false);
    // A stop seen here reaches the others through the flag.
    if (!finished)
        run->Thread.StopRequested = true;
    if (started > 0)
        WaitForMultipleObjects(static_cast<DWORD>(started), threads, TRUE, INFINITE);
    for (int i = 0; i < started; ++i)
        CloseHandle(threads[i]);
    if (!finished || !VerifyOrderDone(&run->Order))
        return false;
    run->State.ErrorCount = run->Order.ErrorCount;
    return true;
}

static DWORD WINAPI VerifyWorker(LPVOID parameter)
{
    FileCheckRun* run = static_cast<FileCheckRun*>(parameter);
    // The first request: WM_VERIFY_STOP (or the stop flag) ends the thread,
    // anything else starts the run, prepared by the dialog.
    MSG message;
    if (!WaitForWorkerMessage(&run->Thread, &message) || message.message == WM_VERIFY_STOP)
        return 0;
    if (!HashOnEveryCore(run, WorkerStopped))
        return 0;
    for (int item = 0; item < run->Items.Count; ++item)
        if (run->Order.Verdict[item] != nullptr && run->Order.Verdict[item] != StatusOk)
            LogLine("File check NG: %s: %s", run->Items.Name[item], run->Order.Verdict[item]);
    LogLine("File check done: %d files, %u NG", run->Items.Count, static_cast<unsigned>(run->State.ErrorCount));
    PostMessageW(run->Dialog, WM_VERIFY_DONE, 0, 0);
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
