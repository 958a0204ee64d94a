#include "common/worker_win32.h"

namespace {

struct Start {
    LPTHREAD_START_ROUTINE Routine;
    void* Parameter;
    HANDLE Ready;
};

DWORD WINAPI RunWorker(LPVOID parameter)
{
    // The starter waits on the event, so its record lives until then.
    const Start start = *static_cast<const Start*>(parameter);
    // The queue exists from the first call that looks at it.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(start.Ready);
    return start.Routine(start.Parameter);
}

}  // namespace

bool StartWorker(Worker* worker, LPTHREAD_START_ROUTINE routine, void* parameter)
{
    worker->StopRequested = false;
    worker->Posted = false;
    worker->LastLook = GetTickCount();
    if (!worker->StopEvent)
        worker->StopEvent.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    else
        ResetEvent(worker->StopEvent.Get());
    UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!worker->StopEvent || !ready)
        return false;
    Start start = {routine, parameter, ready.Get()};
    DWORD id = 0;
    worker->Thread.Reset(CreateThread(nullptr, 0, RunWorker, &start, 0, &id));
    if (!worker->Thread)
        return false;
    worker->ThreadId = id;
    // The thread sets the event first thing; should it end before, its
    // handle ends the wait.
    const HANDLE waits[2] = {ready.Get(), worker->Thread.Get()};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    return true;
}

bool WorkerRunning(const Worker* worker)
{
    return static_cast<bool>(worker->Thread);
}

void PostWorkerMessage(Worker* worker, UINT message)
{
    // Without a worker (between discs, after the finish) nobody takes it.
    if (!worker->Thread)
        return;
    PostThreadMessageW(worker->ThreadId, message, 0, 0);
    // Raised after the message is in the queue: whoever sees it finds it.
    worker->Posted = true;
}

void RequestWorkerStop(Worker* worker, UINT message)
{
    worker->StopRequested = true;
    if (worker->StopEvent)
        SetEvent(worker->StopEvent.Get());
    if (message != 0)
        PostWorkerMessage(worker, message);
}

void JoinWorker(Worker* worker)
{
    if (!worker->Thread)
        return;
    const HANDLE thread = worker->Thread.Get();
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1)
            break;  // the worker ended (or the wait itself failed)
        // Carries out the sent messages and nothing else.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    worker->Thread.Reset();
    worker->ThreadId = 0;
}

bool WorkerShouldLook(Worker* worker)
{
    const DWORD now = GetTickCount();
    if (!worker->Posted.exchange(false) && now - worker->LastLook < WorkerLookInterval)
        return false;
    worker->LastLook = now;
    return true;
}

bool WaitForWorkerMessage(Worker* worker, MSG* message)
{
    const HANDLE stop = worker->StopEvent.Get();
    for (;;) {
        if (worker->StopRequested)
            return false;
        if (PeekMessageW(message, nullptr, 0, 0, PM_REMOVE))
            return true;
        // Wakes for a message posted after the look above, or for the stop.
        MsgWaitForMultipleObjects(stop != nullptr ? 1 : 0, &stop, FALSE, INFINITE, QS_POSTMESSAGE);
    }
}
