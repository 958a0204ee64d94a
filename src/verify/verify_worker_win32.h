// The thread that reads and hashes the listed files for the file check
// dialog, and how the dialog starts it and waits for its end.
#pragma once

#include <windows.h>

// Starts VerifyWorker for the dialog and returns once the thread has a
// message queue, so that a start request posted at once is not lost.
// False when the thread could not be started.
bool StartVerifyWorker(HWND dialog, HANDLE* thread, DWORD* threadId);

// Posts WM_VERIFY_STOP to the worker, which ends within one piece.
void RequestVerifyStop(DWORD threadId);

// Waits for the worker's end and closes its handle. The worker updates the
// dialog's controls with sent messages, which this thread has to carry out
// while it waits, or neither thread would ever go on.
void WaitForVerifyWorker(HANDLE thread);
