// One way to run a worker thread for a window or dialog: started with its
// message queue in place, asked to stop by a flag and an event, sent thread
// messages that it finds without a system call per look, and joined while
// the joining thread keeps serving the messages the worker sends it.
#pragma once

#include <windows.h>

#include <atomic>

// A handle closed when it goes out of scope.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : Handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return Handle; }
    explicit operator bool() const { return Handle != nullptr; }
    void Reset(HANDLE handle = nullptr)
    {
        if (Handle != nullptr)
            CloseHandle(Handle);
        Handle = handle;
    }

private:
    HANDLE Handle = nullptr;
};

struct Worker {
    UniqueHandle Thread;
    DWORD ThreadId = 0;
    // Set by RequestWorkerStop, with the event, for a worker that waits.
    std::atomic<bool> StopRequested{false};
    UniqueHandle StopEvent;
    // Raised by PostWorkerMessage once its message is in the queue. Looking
    // at a thread's queue costs a system call (under Wine a round trip to
    // its server), about as long as moving a small block of data, so the
    // worker looks only when told, and at least every WorkerLookInterval for
    // a message posted to the thread some other way.
    std::atomic<bool> Posted{false};
    DWORD LastLook = 0;  // worker's side only
};

constexpr DWORD WorkerLookInterval = 50;

// Starts `routine` (parameter) on a new thread and returns once the thread
// has its message queue, so that a message posted right away is never lost.
// False when the thread could not be started. The worker must not be
// running.
bool StartWorker(Worker* worker, LPTHREAD_START_ROUTINE routine, void* parameter);
bool WorkerRunning(const Worker* worker);

// Posts a thread message to the worker (nothing when none runs).
void PostWorkerMessage(Worker* worker, UINT message);
// Raises the stop flag and its event, and posts `message` when it is not 0.
void RequestWorkerStop(Worker* worker, UINT message);
// Waits for the worker's end, serving the messages it sends this thread
// meanwhile (a worker that updates a dialog's controls waits for them), and
// closes its handle. Nothing when none runs.
void JoinWorker(Worker* worker);

// On the worker's thread: true when a message may be waiting in its queue.
bool WorkerShouldLook(Worker* worker);
// On the worker's thread: the next thread message, waited for without
// polling. False when a stop was requested (with or without a message).
bool WaitForWorkerMessage(Worker* worker, MSG* message);
