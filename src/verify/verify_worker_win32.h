// The thread that reads and hashes the listed files for the file check
// dialog, and how the dialog starts it, stops it and waits for its end.
#pragma once

#include "common/worker_win32.h"
#include "verify/verify_order.h"
#include "verify/verify_repair.h"
#include "verify/verify_run.h"

#include <windows.h>

// Files are read and hashed by this many threads at most: one per core,
// and two even on one core, so that one reads while the other hashes.
constexpr int MaxVerifyHashers = 8;

// One check: what it checks, how far its run is and the worker that runs
// it. The dialog owns it and lends it to the worker by pointer; the worker
// writes State while it runs, the dialog reads it once the worker is done.
// The worker hashes with State and starts further hashers, each with a
// State of its own; Order puts what they find in list order, under Lock,
// where the dialog looks at it.
struct FileCheckRun {
    HWND Dialog;         // where the worker posts the end of its run
    Worker Thread;       // while one runs or waits for its start
    VerifyState State;   // ErrorCount: the run's verdicts in error, once done
    VerifyItems Items;
    VerifyOrder Order;
    VerifyGlance Shown;  // what the dialog shows of Order
    RepairPlan Repair;
    VerifyState Hashers[MaxVerifyHashers - 1];
    CRITICAL_SECTION Lock;

    FileCheckRun() { InitializeCriticalSection(&Lock); }
    ~FileCheckRun() { DeleteCriticalSection(&Lock); }
    FileCheckRun(const FileCheckRun&) = delete;
    FileCheckRun& operator=(const FileCheckRun&) = delete;
};

// How many hashers a run uses on this machine.
int VerifyHasherCount();

// A new run of the collected items: no verdict yet, the largest first for
// the further hashers. Done before the hashers start.
void PrepareVerifyRun(FileCheckRun* run);

// Hashes every item of a prepared run on this thread and the further
// hashers, and waits for them. This thread asks `stop` (given &run->Thread)
// before every piece, the others see the run's stop flag. True when every
// verdict is in (State.ErrorCount counts those in error), false when stopped.
bool HashOnEveryCore(FileCheckRun* run, bool (*stop)(void*));

// Starts VerifyWorker for the run's dialog and returns once the thread has
// a message queue, so that a start request posted at once is not lost.
// False when the thread could not be started.
bool StartVerifyWorker(FileCheckRun* run);

// Asks the worker to begin its run (WM_VERIFY_START).
void RequestVerifyStart(FileCheckRun* run);

// Asks the worker to stop (WM_VERIFY_STOP, with the stop flag), which it
// sees within one piece.
void RequestVerifyStop(FileCheckRun* run);

// Waits for the worker's end and closes its handle.
void WaitForVerifyWorker(FileCheckRun* run);
