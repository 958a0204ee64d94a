// The copy worker thread of the install window: one per disc, started by
// the window and waited for before the window goes on.
#pragma once

#include "common/worker_win32.h"
#include "install/copy_files.h"

#include <windows.h>

// Bytes read and written in this installation, for the window's progress.
extern CopyCounters InstallCounters;
// The window the worker posts its messages to; set before the worker starts.
extern HWND WorkerTarget;
// Set by a worker that undid the installation (after a stop or an error),
// before its thread ends; read once the thread has ended.
extern volatile LONG WorkerRolledBack;
// The running worker, if any: the window pauses it with WM_KEYDOWN
// (PostWorkerMessage), stops it with RequestWorkerStop (WM_CLOSE) and joins
// it with JoinWorker.
extern Worker CopyWorkerThread;

// Thread start routine: copies the files of disc `parameter` (0-based), then
// posts InstMsgNextDisc, or InstMsgReadError / InstMsgWriteError (disc,
// entry) and removes the installation; after a stop it only removes it.
// Thread messages: WM_KEYDOWN pauses until the next message (WM_CLOSE then
// stops), WM_CLOSE stops.
DWORD WINAPI CopyWorkerMain(LPVOID parameter);

// The worker's message check on the calling thread's queue: 0 when a stop
// was requested or WM_CLOSE is waiting; WM_KEYDOWN waits for the next
// message, 0 when that is WM_CLOSE or the stop flag comes; else 1 (go on).
int CheckWorkerMessages(Worker* worker);

// Starts CopyWorkerMain for `disc` as CopyWorkerThread, once it can take thread
// messages. False when it could not be started.
bool StartCopyWorker(int disc);
