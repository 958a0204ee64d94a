#include "verify/verify_worker_win32.h"
#include "verify/verify_run.h"

#include "res/resource.h"
#include "script/setup_model.h"

#include <commctrl.h>

#include <atomic>

// Set by the worker once its message queue exists.
static HANDLE WorkerReady;

// Set together with the posted WM_VERIFY_STOP. Looking at the thread's queue
// costs a system call (under Wine a server round trip, about as long as
// hashing the piece itself), so the worker reads this flag on every pass and
// its queue on every QueueCheckPasses-th one: a stop is still seen within
// one piece, and a stop that comes only as a message within a few.
static std::atomic<bool> StopAsked;
static constexpr unsigned QueueCheckPasses = 64;

// The bar is redrawn at most this often, and at the end of every file. A
// synchronous update per piece costs the dialog's thread a switch and a
// repaint: measured under Wine it held the whole check to a few MB/s,
// while the eye cannot tell more than a few dozen redraws a second apart.
static constexpr DWORD ProgressRedrawMilliseconds = 20;

struct DialogControls {
    HWND List;
    HWND Progress;
    uint32_t Range;         // of the current file
    DWORD LastRedraw;       // tick of the last position sent
};

static bool ReadItemName(void* context, int item, char* name, size_t size)
{
    const HWND list = static_cast<DialogControls*>(context)->List;
    if (item < 0 || item >= static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)))
        return false;
    LVITEMA text = {};
    text.iSubItem = 0;
    text.pszText = name;
    text.cchTextMax = static_cast<int>(size);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&text));
    return true;
}

static void ShowStatus(void* context, int item, const char* status)
{
    LVITEMA text = {};
    text.iSubItem = 1;
    text.pszText = const_cast<char*>(status);
    SendMessageA(static_cast<DialogControls*>(context)->List, LVM_SETITEMTEXTA,
                 static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&text));
}

static void StartProgress(void* context, uint32_t range)
{
    auto* controls = static_cast<DialogControls*>(context);
    controls->Range = range;
    controls->LastRedraw = GetTickCount();
    SendMessageA(controls->Progress, PBM_SETRANGE, 0, MAKELPARAM(0, range));
    SendMessageA(controls->Progress, PBM_SETSTEP, 1, 0);
    SendMessageA(controls->Progress, PBM_SETPOS, 0, 0);
}

static void ShowProgress(void* context, uint32_t position)
{
    auto* controls = static_cast<DialogControls*>(context);
    const DWORD now = GetTickCount();
    if (position < controls->Range && now - controls->LastRedraw < ProgressRedrawMilliseconds)
        return;
    controls->LastRedraw = now;
    SendMessageA(controls->Progress, PBM_SETPOS, position, 0);
}

// Takes every waiting thread message; true when one of them asks to stop.
static bool StopRequested()
{
    bool stop = false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_VERIFY_STOP)
            stop = true;
    }
    return stop;
}

// False when the first request is a stop.
static bool WaitForStart()
{
    MSG message;
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            return message.message != WM_VERIFY_STOP;
        Sleep(10);
    }
}

static DWORD WINAPI VerifyWorker(LPVOID parameter)
{
    const HWND dialog = static_cast<HWND>(parameter);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(WorkerReady);
    if (!WaitForStart())
        return 0;
    DialogControls controls = {GetDlgItem(dialog, IDC_CHECK_LIST),
                               GetDlgItem(dialog, IDC_CHECK_PROGRESS), 0, 0};
    const VerifyView view = {&controls, ReadItemName, ShowStatus, StartProgress, ShowProgress};
    uint8_t piece[VerifyPieceSize];
    for (unsigned pass = 0;; ++pass) {
        if (StopAsked.load(std::memory_order_relaxed) ||
            (pass % QueueCheckPasses == 0 && StopRequested())) {
            AbandonVerifyRun(&VerifyRun);
            return 0;
        }
        if (!VerifyStep(&VerifyRun, view, SetupScript.InstallFolder, piece)) {
            PostMessageA(dialog, WM_VERIFY_DONE, 0, 0);
            return 0;
        }
    }
}

bool StartVerifyWorker(HWND dialog, HANDLE* thread, DWORD* threadId)
{
    StopAsked = false;
    WorkerReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (WorkerReady == nullptr)
        return false;
    *thread = CreateThread(nullptr, 0, VerifyWorker, dialog, 0, threadId);
    if (*thread != nullptr) {
        // The thread sets the event first thing; it can only end earlier if
        // it failed to start at all.
        HANDLE waits[2] = {WorkerReady, *thread};
        WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    }
    CloseHandle(WorkerReady);
    WorkerReady = nullptr;
    return *thread != nullptr;
}

void RequestVerifyStop(DWORD threadId)
{
    StopAsked = true;
    PostThreadMessageA(threadId, WM_VERIFY_STOP, 0, 0);
}

void WaitForVerifyWorker(HANDLE thread)
{
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1)
            break;  // the worker ended (or the wait itself failed)
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread);
}
