#include "install/install_window.h"

#include "common/run_switches.h"
#include "common/system_text.h"
#include "common/text.h"
#include "disc/disc_check.h"
#include "image/surface_gdi.h"
#include "install/copy_worker.h"
#include "install/folders.h"
#include "install/install_flow.h"
#include "install/install_journal.h"
#include "install/install_messages.h"
#include "install/install_sizes.h"
#include "install/render.h"
#include "install/shortcuts.h"
#include "script/setup_model.h"
#include "uninstall/uninstall.h"

CRITICAL_SECTION ScreenLock;

namespace {

// Timer of the finish screen; the copying timers are named by disc index.
constexpr UINT_PTR FinishTimer = 1010;
// An unattended run's finish screen closes by itself after this timer:
// long enough for a silent run's show to be seen, at once when very silent.
constexpr UINT_PTR AutoCloseTimer = 1011;
constexpr UINT SilentFinishMilliseconds = 2000;
constexpr UINT FrameInterval = 100;

struct InstallWindowState {
    Surface* ScreenSurface;  // under ScreenLock
    DirtyRectList* Dirty;
    int CurrentDisc;
    int InstallFinished;
    uint64_t ProgressTotal;
    // Something of the installation may be on the disk (FoldersMade), and
    // whether a worker's removal already took it away (RolledBack).
    int FoldersMade;
    int RolledBack;
    // The installation is on its way out: no further disc or finish step.
    int Ending;
    // A message box or disc request of this window is open; a close request
    // from outside is acted on once it is answered.
    int ModalDepth;
    int CloseRequested;
    // The abort question is open: the worker's messages wait for its answer.
    int Asking;
    // A disc request (LocateDisc) is open.
    int AskingForDisc;
    UINT Deferred;
    WPARAM DeferredWParam;
    LPARAM DeferredLParam;
};

InstallWindowState State;
// The DPI of the show's monitor: it is drawn at 96-DPI size and shown
// scaled, so that it looks at 150 % and 200 % as it does at 100 %.
unsigned ScreenDpi = 96;

void Render(HWND window, int phase, int progress)
{
    EnterCriticalSection(&ScreenLock);
    if (State.ScreenSurface != nullptr &&
        RenderInstallFrame(phase, progress, State.ScreenSurface, State.Dirty))
        PresentScaledDirtyRects(window, State.ScreenSurface, State.Dirty, ScreenDpi);
    LeaveCriticalSection(&ScreenLock);
}

// WM_KEYDOWN pauses or resumes the worker, WM_CLOSE stops it. Without a
// worker (between discs, after the finish) nobody takes them.
void PostToWorker(UINT message)
{
    if (message == WM_CLOSE)
        RequestWorkerStop(&CopyWorkerThread, WM_CLOSE);
    else
        PostWorkerMessage(&CopyWorkerThread, message);
}

void WaitForWorker()
{
    if (!WorkerRunning(&CopyWorkerThread))
        return;
    JoinWorker(&CopyWorkerThread);
    if (WorkerRolledBack)
        State.RolledBack = 1;
}

int ShowBox(HWND window, const char* text, const char* caption, UINT type)
{
    ++State.ModalDepth;
    const int answer = SysMessageBox(window, text, caption, type);
    --State.ModalDepth;
    return answer;
}

void EndInstallation(HWND window, uint32_t mode)
{
    SetupScript.AppMode = mode;
    State.Ending = 1;
    PostMessageW(window, InstMsgEnd, 0, 0);
}

// The abort question's Yes: the worker stops and undoes what it copied.
void ConfirmAbort(HWND window)
{
    PostToWorker(WM_CLOSE);
    EndInstallation(window, ModeMenu);
}

bool InstallFolderExists()
{
    const DWORD attributes = SysGetFileAttributes(SetupScript.InstallFolder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

LRESULT OnCreate(HWND window)
{
    State = InstallWindowState();
    EnterCriticalSection(&ScreenLock);
    ScreenDpi = GetWindowDpi(window);
    State.ScreenSurface = CreateScaledWindowSurface(window, ScreenDpi);
    LeaveCriticalSection(&ScreenLock);
    State.Dirty = AllocDirtyRectList();
    if (State.ScreenSurface == nullptr || State.Dirty == nullptr) {
        // Creation fails; the destruction frees what was had.
        SetupScript.AppMode = ModeExit;
        return -1;
    }
    Render(window, RenderPhaseFirst, 0);

    InstallCounters.BytesRead = 0;
    InstallCounters.BytesWritten = 0;
    WorkerRolledBack = 0;
    // Everything from here on is journaled, so that an undo takes away
    // exactly what this installation made.
    JournalBegin();
    MakeInstallFolders();
    State.FoldersMade = 1;
    InstallCounters.BytesRead = 0;
    InstallCounters.BytesWritten = 0;
    State.ProgressTotal = ProgressTotalOf(SumFileSizes(AllDiscs, SetupScript.InstallOption));
    // Without its folder nothing could be copied: say so now rather than as
    // the write error of the first file.
    PostMessageW(window, InstallFolderExists() ? InstMsgNextDisc : InstMsgFolderError, 0, 0);
    return 0;
}

void Defer(UINT message, WPARAM wParam, LPARAM lParam)
{
    State.Deferred = message;
    State.DeferredWParam = wParam;
    State.DeferredLParam = lParam;
}

void OnNextDisc(HWND window)
{
    if (State.Ending)
        return;
    if (State.CurrentDisc > 0)
        KillTimer(window, static_cast<UINT_PTR>(State.CurrentDisc - 1));
    WaitForWorker();
    switch (DecideNextDisc(State.CurrentDisc)) {
    case NextDiscFinish:
        PostMessageW(window, InstMsgFinished, 0, 0);
        return;
    case NextDiscSkip:
        ++State.CurrentDisc;
        PostMessageW(window, InstMsgNextDisc, 0, 0);
        return;
    case NextDiscCopy:
        break;
    }
    ++State.ModalDepth;
    State.AskingForDisc = 1;
    const int located = LocateDisc(window, static_cast<uint32_t>(State.CurrentDisc + 1));
    State.AskingForDisc = 0;
    --State.ModalDepth;
    if (State.CloseRequested) {
        ConfirmAbort(window);
        return;
    }
    if (!located) {
        EndInstallation(window, ModeMenu);
        return;
    }
    WorkerTarget = window;
    WorkerRolledBack = 0;
    if (!StartCopyWorker(State.CurrentDisc)) {
        // Not the player's abort: the installation cannot go on, as after a
        // copy error.
        ShowBox(window, "インストールを続行できませんでした。\r\n コピー処理を開始できません。",
                SetupScript.APPLITITLE, MB_OK);
        EndInstallation(window, ModeExit);
        return;
    }
    SetTimer(window, static_cast<UINT_PTR>(State.CurrentDisc), FrameInterval, nullptr);
    ++State.CurrentDisc;
}

void OnFinished(HWND window)
{
    if (State.Ending)
        return;
    Render(window, RenderPhaseTick, ProgressToFinish);
    // The finish pictures, once, right after the finish frame.
    Render(window, RenderPhaseFinish, ProgressToFinish);
    WaitForWorker();
    CreateShortcuts((SetupScript.InstallOption & DesktopShortcutBit) ? 1 : 0);
    State.InstallFinished = 1;
    SetTimer(window, FinishTimer, FrameInterval, nullptr);
    if (Unattended(ActiveSwitches))
        SetTimer(window, AutoCloseTimer, ActiveSwitches.VerySilent ? 1 : SilentFinishMilliseconds, nullptr);
}

void OnCopyError(HWND window, UINT message, WPARAM disc, LPARAM entry)
{
    const char* name = GetFileListEntry(static_cast<int>(disc), static_cast<int>(entry));
    if (name == nullptr)
        name = "";
    const char* format = message == InstMsgReadError
                             ? "ファイルリードエラー\r\n %s が正しく読めませんでした。"
                             : "ファイルライトエラー\r\n %s をハードディスクに書き込めませんでした。";
    char text[PathWidth + 128];
    FormatText(text, sizeof text, format, name);
    ShowBox(window, text, SetupScript.APPLITITLE, MB_OK);
    EndInstallation(window, ModeExit);
}

void OnFolderError(HWND window)
{
    ShowBox(window, "ディレクトリエラー\r\n インストールディレクトリが作成できません。",
            SetupScript.APPLITITLE, MB_OK);
    EndInstallation(window, ModeExit);
}

// A worker's message (or the window's own next step) that came while the
// abort question was open is handled once it is answered.
void ReplayDeferred(HWND window)
{
    if (State.Deferred != 0)
        PostMessageW(window, State.Deferred, State.DeferredWParam, State.DeferredLParam);
    State.Deferred = 0;
}

void AskAbort(HWND window)
{
    if (State.Ending || State.ModalDepth > 0)
        return;
    PostToWorker(WM_KEYDOWN);
    State.Asking = 1;
    const int answer = ShowBox(window, "インストールを中断しますか？", "確認", MB_YESNO);
    State.Asking = 0;
    if (answer == IDNO && !State.CloseRequested) {
        PostToWorker(WM_KEYDOWN);
        ReplayDeferred(window);
        return;
    }
    const bool errorCame = State.Deferred == InstMsgReadError || State.Deferred == InstMsgWriteError;
    if (errorCame) {
        // The error came first: it is the one reported.
        ReplayDeferred(window);
        return;
    }
    State.Deferred = 0;
    ConfirmAbort(window);
}

void OnTimer(HWND window)
{
    int progress = 0;
    if (TickProgress(State.InstallFinished != 0, InstallCounters.BytesRead.load(),
                     InstallCounters.BytesWritten.load(), State.ProgressTotal, &progress))
        Render(window, RenderPhaseTick, progress);
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EnterCriticalSection(&ScreenLock);
    if (State.ScreenSurface != nullptr)
        PresentScaledWindowRect(window, State.ScreenSurface, &paint.rcPaint, ScreenDpi);
    LeaveCriticalSection(&ScreenLock);
    EndPaint(window, &paint);
}

void OnInput(HWND window, InstallInput input, WPARAM key)
{
    switch (DecideInput(input, static_cast<unsigned>(key), State.InstallFinished != 0)) {
    case InputIgnored:
        break;
    case InputAskAbort:
        AskAbort(window);
        break;
    case InputCloseWindow:
        DestroyWindow(window);
        break;
    }
}

struct OwnedDialogSearch {
    HWND Owner;
    HWND Found;
};

BOOL CALLBACK FindOwnedDialog(HWND candidate, LPARAM parameter)
{
    OwnedDialogSearch* search = reinterpret_cast<OwnedDialogSearch*>(parameter);
    wchar_t className[16] = {};
    GetClassNameW(candidate, className, 16);
    if (GetWindow(candidate, GW_OWNER) != search->Owner || !IsWindowVisible(candidate) ||
        lstrcmpW(className, L"#32770") != 0)
        return TRUE;
    search->Found = candidate;
    return FALSE;
}

// Answers the dialog or box this window has open with `command`.
void AnswerOwnedDialog(HWND window, WPARAM command)
{
    OwnedDialogSearch search = {window, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    if (search.Found != nullptr)
        PostMessageW(search.Found, WM_COMMAND, command, 0);
}

// A close request from outside takes the abort's Yes. An open abort question
// is answered Yes and an open disc request cancelled; an error box is left to
// the user, since the ending follows it anyway.
void OnClose(HWND window)
{
    if (State.ModalDepth > 0) {
        State.CloseRequested = 1;
        if (State.Asking)
            AnswerOwnedDialog(window, IDYES);
        else if (State.AskingForDisc)
            AnswerOwnedDialog(window, IDCANCEL);
        return;
    }
    if (!State.Ending)
        ConfirmAbort(window);
}

// Whatever ended the installation before its finish screen was dismissed
// leaves nothing behind: what no worker removed is removed here, the links
// of the finish screen among it.
void UndoLeftovers()
{
    if (!State.FoldersMade || State.RolledBack)
        return;
    RollBackInstallation();
    State.RolledBack = 1;
}

void OnEnd(HWND window)
{
    WaitForWorker();
    if (SetupScript.AppMode != ModeInstall)
        UndoLeftovers();
    DestroyWindow(window);
}

void OnDestroy()
{
    // Never leave a worker running behind the window.
    PostToWorker(WM_CLOSE);
    WaitForWorker();
    ReleaseElementImages();
    FreeDirtyRectList(State.Dirty);
    State.Dirty = nullptr;
    EnterCriticalSection(&ScreenLock);
    FreeSurface(State.ScreenSurface);
    State.ScreenSurface = nullptr;
    LeaveCriticalSection(&ScreenLock);
    PostQuitMessage(0);
}

bool IsWorkerReport(UINT message)
{
    return message == InstMsgReadError || message == InstMsgWriteError ||
           message == InstMsgNextDisc || message == InstMsgFinished;
}

}  // namespace

LRESULT CALLBACK InstallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (State.Asking && IsWorkerReport(message)) {
        Defer(message, wParam, lParam);
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case InstMsgNextDisc:
        OnNextDisc(window);
        return 0;
    case InstMsgFinished:
        OnFinished(window);
        return 0;
    case InstMsgReadError:
    case InstMsgWriteError:
        OnCopyError(window, message, wParam, lParam);
        return 0;
    case InstMsgFolderError:
        OnFolderError(window);
        return 0;
    case InstMsgEnd:
        OnEnd(window);
        return 0;
    case WM_TIMER:
        if (wParam == AutoCloseTimer) {
            KillTimer(window, AutoCloseTimer);
            DestroyWindow(window);
            return 0;
        }
        OnTimer(window);
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_ACTIVATEAPP:
        if (!ActiveSwitches.VerySilent)
            ShowWindow(window, LOWORD(wParam) ? SW_RESTORE : SW_MINIMIZE);
        return 0;
    case WM_KEYDOWN:
        OnInput(window, InputKey, wParam);
        return 0;
    case WM_SYSKEYDOWN:
        OnInput(window, InputSystemKey, wParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        OnInput(window, InputButtonUp, 0);
        return 0;
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
