#include "install/install_run.h"

#include "common/run_switches.h"
#include "common/setup_log.h"
#include "common/dialog_win32.h"
#include "common/folder_rights.h"
#include "common/path_rules.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "install/folders.h"
#include "install/install_journal.h"
#include "install/install_sizes.h"
#include "install/install_window.h"
#include "install/options_dialog.h"
#include "script/setup_model.h"
#include "uninstall/uninstall_entry.h"
#include "uninstall/uninstall_paths.h"

#include <windows.h>

static const char InstallClassName[] = "QRX_INST";
static const wchar_t InstallClassNameW[] = L"QRX_INST";

int WriteInstallRecord()
{
    // The record belongs under Software: a script's key anywhere else (the
    // user's environment, say) is never written.
    if (!IsSoftwareSubkey(SetupScript.REGADDRESS))
        return 0;
    HKEY key;
    if (!SysRegCreateKey(HKEY_CURRENT_USER, SetupScript.REGADDRESS, KEY_ALL_ACCESS, &key)) {
        LogResult(false, "Open registry key HKCU\\%s", SetupScript.REGADDRESS);
        return 0;
    }
    const DWORD option = SetupScript.InstallOption;
    // A record with only one of its values would be a false "installed".
    const bool written =
        SysRegWriteBinary(key, "InstallFolder", SetupScript.InstallFolder,
                          sizeof SetupScript.InstallFolder) &&
        SysRegWriteDword(key, "InstallOption", option);
    LogResult(written, "Write registry values HKCU\\%s InstallFolder = %s, InstallOption = 0x%02lX",
              SetupScript.REGADDRESS, SetupScript.InstallFolder, static_cast<unsigned long>(option));
    RegCloseKey(key);
    return written ? 1 : 0;
}

static ATOM RegisterInstallClass()
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = InstallWindowProc;
    windowClass.hInstance = ModuleInstance();
    // The program carries no icon: these find none and the class has none.
    windowClass.hIcon = LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(32512));
    windowClass.hIconSm = LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(32512));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = InstallClassNameW;
    windowClass.lpszClassName = InstallClassNameW;
    return RegisterClassExW(&windowClass);
}

// A creation that failed in WM_CREATE (no screen surface) had its
// destruction post a quit that nobody will read.
static void DropQuitMessage()
{
    MSG message;
    PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// One file of the launcher's copy, journaled like every file the
// installation makes; left readable and writable as copies from a CD-ROM
// are not.
static bool CopyJournaled(const char* from, const char* to)
{
    if (!JournalNewFile(to)) {
        LogLine("Copy %s: the journal cannot take it", to);
        return false;
    }
    const bool copied = SysCopyFile(from, to, false);
    LogResult(copied, "Copy %s to %s", from, to);
    if (!copied)
        return false;
    const DWORD attributes = SysGetFileAttributes(to);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SysSetFileAttributes(to, attributes & ~FILE_ATTRIBUTE_READONLY);
    return true;
}

// The program the Apps & features entry starts, which must run with no disc
// in any drive: the launcher's copy the lists installed with its script and
// archive, or else a copy of the program, script and archive this run works
// from, put into "uninst" below the install folder. False when there is no
// such program.
static bool PlaceUninstaller(char* program, size_t size)
{
    bool listed = false;
    if (!UninstallProgramPath(SetupScript.InstallFolder, SetupScript.ModuleName,
                              SetupScript.InstallOption, program, size, &listed))
        return false;
    // The entry starts the program elevated: only administrators and the
    // system may change it, wherever the install folder lies.
    if (listed) {
        char listedFolder[PathWidth];
        const char* name = FindLastBackslash(program);
        // Never the install folder itself: old games write into their own folder.
        if (name != nullptr &&
            CopyTextN(listedFolder, sizeof listedFolder, program, static_cast<size_t>(name - program)) &&
            !SamePath(listedFolder, SetupScript.InstallFolder))
            ProtectFolderForAdministrators(listedFolder);
        return SysGetFileAttributes(program) != INVALID_FILE_ATTRIBUTES;
    }
    char folder[PathWidth];
    if (!JoinPath(folder, SetupScript.InstallFolder, UninstallerFolder))
        return false;
    if (SysGetFileAttributes(folder) == INVALID_FILE_ATTRIBUTES) {
        if (!SysCreateFolder(folder)) {
            LogFolderNotMade(folder);
            return false;
        }
        LogLine("Make folder %s: done", folder);
        JournalNewFolder(folder);
    }
    ProtectFolderForAdministrators(folder);
    char self[PathWidth];
    char from[PathWidth];
    char to[PathWidth];
    if (!SysGetModulePath(self) || !CopyJournaled(self, program))
        return false;
    // The archive holds the script when no loose one came with it.
    if (SourcePath(from, ScriptFileName) && SysGetFileAttributes(from) != INVALID_FILE_ATTRIBUTES &&
        (!JoinPath(to, folder, ScriptFileName) || !CopyJournaled(from, to)))
        return false;
    return SourcePath(from, ArchiveFileName) && JoinPath(to, folder, ArchiveFileName) &&
           CopyJournaled(from, to);
}

// The game in Settings → Apps. An installation whose entry cannot be made
// is still complete: the launcher on disc 1 uninstalls it as ever.
static void RegisterUninstallEntry()
{
    char program[PathWidth];
    char key[PathWidth];
    if (!PlaceUninstaller(program, sizeof program) ||
        !UninstallEntryKey(SetupScript.REGADDRESS, key, sizeof key) ||
        !JournalNewUninstallEntry(key))
        return;
    if (!WriteUninstallEntry(program, SumFileSizes(AllDiscs, SetupScript.InstallOption)))
        RemoveUninstallEntry();
}

static void ReportOutcome()
{
    if (SetupScript.AppMode == ModeInstall) {
        RegisterUninstallEntry();
        if (!WriteInstallRecord()) {
            // An installation the launcher cannot know of is taken back
            // rather than left behind unrecorded.
            RollBackInstallation();
            RunExitCode = ExitFatalDuringCopy;
            LogLine("installation failed: the install record could not be written");
            SysMessageBox(nullptr, "レジストリエラー", SetupScript.APPLITITLE, MB_OK);
            SetupScript.AppMode = ModeExit;
            return;
        }
        JournalFinish();
        SetupScript.IsInstalled = 1;
        SetupScript.AppMode = ModeMenu;
        RunExitCode = ExitDone;
        LogLine("installation complete");
    } else if (SetupScript.AppMode == ModeMenu) {
        RunExitCode = ExitCancelledDuring;
        LogLine(RollBackWasComplete() ? "installation aborted and taken back"
                                      : "installation aborted; what it made may be left in %s",
                SetupScript.InstallFolder);
        // Only an undo that read back all it made says the installation was
        // taken back.
        char text[PathWidth + 256];
        FormatAbortMessage(text, sizeof text, RollBackWasComplete(), SetupScript.InstallFolder);
        SysMessageBox(nullptr, text, SetupScript.APPLITITLE, MB_OK);
    } else {
        RunExitCode = ExitFatalDuringCopy;
        LogLine("installation failed");
    }
}

int RunInstallWindow(int showCommand, void (*releaseInstanceLock)())
{
    HWND desktop = GetDesktopWindow();
    // The whole monitor the player is at (the one the options dialog was
    // confirmed on), in its real pixels: the program is DPI aware.
    RECT area;
    GetWindowRect(desktop, &area);
    POINT cursor;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetCursorPos(&cursor) &&
        GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY), &monitor))
        area = monitor.rcMonitor;
    RegisterInstallClass();
    InitializeCriticalSection(&ScreenLock);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, InstallClassNameW, InstallClassNameW,
                                  WS_POPUP | WS_CHILD, area.left, area.top,
                                  area.right - area.left, area.bottom - area.top, desktop, nullptr,
                                  ModuleInstance(), nullptr);
    if (window == nullptr) {
        // Also when the screen surface could not be made: the player is told,
        // rather than the program ending as if nothing had been asked for.
        DropQuitMessage();
        UnregisterClassW(InstallClassNameW, ModuleInstance());
        DeleteCriticalSection(&ScreenLock);
        SysMessageBox(nullptr, "ウィンドウ作成エラー", InstallClassName, MB_OK);
        if (releaseInstanceLock)
            releaseInstanceLock();
        return 0;
    }
    // A very silent run shows nothing: the window works unseen.
    if (!ActiveSwitches.VerySilent) {
        ShowWindow(window, showCommand);
        UpdateWindow(window);
        SetFocus(window);
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    UnregisterClassW(InstallClassNameW, ModuleInstance());
    DeleteCriticalSection(&ScreenLock);
    ReportOutcome();
    return 1;
}

int RunInstallation(int showCommand, void (*releaseInstanceLock)())
{
    if (Unattended(ActiveSwitches)) {
        // The switches in place of the dialog; what it would refuse ends the run.
        if (!ChooseOptionsUnattended()) {
            RunExitCode = ExitFatalBeforeCopy;
            SetupScript.AppMode = ModeExit;
            return 1;
        }
    } else {
        const INT_PTR result = InstallOptionsDialog();
        // A dialog that could not even open confirmed nothing.
        if (result == -1)
            SetupScript.AppMode = ModeExit;
        if (SetupScript.AppMode != ModeInstall) {
            RunExitCode = ExitCancelledBefore;
            return 1;
        }
    }
    // Each installation keeps a journal of its own: one left where it would
    // write is settled first, or nothing starts.
    if (!LeftoverJournalSettled()) {
        RunExitCode = ExitFatalBeforeCopy;
        SetupScript.AppMode = Unattended(ActiveSwitches) ? ModeExit : ModeMenu;
        return 1;
    }
    LogLine("installing into %s, option bits 0x%X", SetupScript.InstallFolder, SetupScript.InstallOption);
    return RunInstallWindow(showCommand, releaseInstanceLock);
}
