#include "app/app_shell.h"
#include "app/command_letter.h"
#include "app/mode_screens.h"
#include "app/relaunch.h"
#include "app/startup_steps.h"
#include "app/startup_win32.h"

#include "archive/setup_data.h"
#include "common/drive_root.h"
#include "common/path_rules.h"
#include "common/run_switches.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "disc/disc_check.h"
#include "image/surface.h"
#include "install/install_journal.h"
#include "launcher/launcher.h"
#include "script/setup_model.h"

#include <commctrl.h>

int StartShowCommand;
static HANDLE InstanceMutex;

bool TakeInstanceMutex()
{
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"ZENTOSYS");
    // No handle at all means the name is held by an object of another kind:
    // taken as well.
    if (!mutex)
        return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    InstanceMutex = mutex;
    return true;
}

void ReleaseInstanceMutex()
{
    if (InstanceMutex) {
        CloseHandle(InstanceMutex);
        InstanceMutex = nullptr;
    }
}

static void ShowLoadFailure()
{
    RunExitCode = ExitCouldNotStart;
    SysMessageBox(nullptr, "設定ファイルが見つかりません。処理を中断します。", "Drubel Error", MB_OK);
}

// The program's own folder, or the temporary folder, that no 932 path names
// (not even its short form): nothing of the setup data could be read or
// copied there.
static void ShowUnusableFolder()
{
    char text[PathWidth];
    FormatUnreadableDataMessage(text, sizeof text, ScriptFileName);
    SysMessageBox(nullptr, text, "Drubel Error", MB_OK);
}

static void StoreModuleName()
{
    char path[MAX_PATH] = {};
    if (!SysGetModulePath(path, sizeof path))
        return;
    ModuleNameFromPath(path, SetupScript.ModuleName, sizeof SetupScript.ModuleName);
}

// The setup data is read from the program's own folder, which a reload
// later moves to the temporary folder. False when either has no 932 form.
static bool StoreSourceFolder()
{
    if (!GetProgramFolder(SetupScript.SourceFolder, sizeof SetupScript.SourceFolder) &&
        SysTextHadNoForm())
        return false;
    char temp[MAX_PATH];
    return GetTemporaryFolder(temp, sizeof temp) || !SysTextHadNoForm();
}

// The temporary copy runs from the temporary folder, yet the discs may be
// folders beside the one the player started from: the first instance hands
// that folder on through the environment, which leaves the command letter
// and the copy's files as they are.
static const char StartFolderVariable[] = "DRUBEL_START_FOLDER";

static void StoreStartFolder(CommandAction action)
{
    char handed[PathWidth] = {};
    const bool relaunched = action == CommandLauncher || action == CommandUninstall;
    if (relaunched && SysGetEnvironment(StartFolderVariable, handed, sizeof handed) &&
        IsAbsoluteFolderPath(handed) && (EndsWithBackslash(handed) || AppendText(handed, "\\")))
        CopyText(SetupScript.StartFolder, handed);
    else
        CopyText(SetupScript.StartFolder, SetupScript.SourceFolder);
    // Nothing this instance starts later (the game, the DirectX setup, the
    // next launcher from the install folder) is a relaunch of it.
    SysSetEnvironment(StartFolderVariable, nullptr);
}

static void HandOnStartFolder() { SysSetEnvironment(StartFolderVariable, SetupScript.StartFolder); }

static int LocateDiscAtStart(uint32_t disc) { return LocateDisc(nullptr, disc); }

static int ReloadScriptFrom(const char* sourceFolder)
{
    // The relaunch folder, never the temporary folder itself.
    char temp[MAX_PATH];
    if (!GetWorkFolder(temp, sizeof temp))
        return 0;
    char path[MAX_PATH];
    if (JoinPath(path, temp, ScriptFileName))
        SysDeleteFile(path);
    if (JoinPath(path, temp, ArchiveFileName))
        SysDeleteFile(path);
    // From now on the setup data is read from the temporary folder.
    if (!CopyText(SetupScript.SourceFolder, temp))
        return 0;
    CopyToFolder(ScriptFileName, sourceFolder, temp);
    CopyToFolder(ArchiveFileName, sourceFolder, temp);
    ResetSetupScript();
    return LoadSetupScript();
}

static void RunLauncherScreen() { LauncherDialog(); }

// The list view and progress bar of the file check come from the common
// controls, which must be registered before any dialog opens.
static void InitCommonControlClasses()
{
    INITCOMMONCONTROLSEX classes = {};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&classes);
}

static void EndProgram()
{
    ResetSetupScript();
    ReleaseInstanceMutex();
}

// Starts the temporary copy; true when this instance has nothing more to do.
// When the copy cannot start, this one goes on in place, holding the mutex
// again unless somebody took it meanwhile.
static bool Relaunch(char letter)
{
    PROCESS_INFORMATION process;
    if (RelaunchFromTemp(letter, &process)) {
        CloseHandle(process.hThread);
        // The caller of a run with switches waits for this program, and
        // reads the run's code from it: the copy's.
        if (ActiveSwitches.Any) {
            DWORD code = ExitCouldNotStart;
            WaitForSingleObject(process.hProcess, INFINITE);
            if (GetExitCodeProcess(process.hProcess, &code))
                RunExitCode = static_cast<int>(code);
        }
        CloseHandle(process.hProcess);
        return true;
    }
    // A relaunch that could not even be prepared (a temporary folder too
    // long for the copy's path) still holds the mutex: go on with it.
    if (InstanceMutex)
        return false;
    return !TakeInstanceMutex();
}

// The script's install record belongs under Software: with any other key the
// uninstall would work on keys of the player's own. Such a script is not
// used at all.
static bool ScriptKeyIsUsable()
{
    if (IsSoftwareSubkey(SetupScript.REGADDRESS))
        return true;
    char text[PathWidth];
    FormatUnreadableDataMessage(text, sizeof text, ScriptFileName);
    SysMessageBox(nullptr, text, SetupScript.APPLITITLE, MB_OK);
    RunExitCode = ExitCouldNotStart;
    return false;
}

// An unattended run goes straight to its one task and ends after it: the
// installation (with the options of its switches), the uninstall, or the
// check and repair.
static void RunUnattended(const ModeScreens& screens)
{
    // The letter of the uninstaller copy (r, after u) counts as /UNINSTALL.
    if (ActiveSwitches.Uninstall || SetupScript.AppMode == ModeUninstall) {
        SetupScript.AppMode = ModeUninstall;
        screens.Uninstall();
        return;
    }
    if (ActiveSwitches.Repair) {
        SetupScript.AppMode = ModeVerify;
        screens.FileCheck();
        return;
    }
    if (SetupScript.IsInstalled) {
        OpenLogOfRun();
        LogLine("refused: the game is installed already in %s", SetupScript.InstallFolder);
        RunExitCode = ExitFatalBeforeCopy;
        return;
    }
    SetupScript.AppMode = ModeInstall;
    screens.Install();
}

// A run started with switches returns its code; one started by a player
// returns 0 as it always did, whatever it did in between.
static int ExitCodeOfRun()
{
    return ActiveSwitches.Any ? RunExitCode : ExitDone;
}

static int EndRun()
{
    LogLine("exit code %d", ExitCodeOfRun());
    LogClose();
    EndProgram();
    return ExitCodeOfRun();
}

int RunDrubel(HINSTANCE instance, const char* commandLine, int showCommand)
{
    StartShowCommand = showCommand;
    // Set once, to a folder no installation makes or removes: Windows keeps
    // a folder that is some process's current folder, and the uninstaller
    // of the Start menu starts in the install folder's "uninst\", which its
    // uninstall must remove. The temporary copy inherits it. Every file is
    // named by an absolute path, so nothing depends on it afterwards.
    SysEnterWindowsFolder();
    RunCommandLine = commandLine;
    char letter = '\0';
    const bool switchesRead = ParseRunArguments(commandLine, &letter, &ActiveSwitches);
    if (!TakeInstanceMutex())
        return ActiveSwitches.Any ? ExitCouldNotStart : 0;
    if (!switchesRead) {
        // Nothing is started on a switch that could mean something else.
        OpenLogOfRun();
        char text[1024];
        FormatText(text, sizeof text, "OptionString = \"%s\"", ActiveSwitches.Bad);
        SysMessageBox(nullptr, text, "DRUBEL", MB_OK);
        RunExitCode = ExitCouldNotStart;
        return EndRun();
    }
    SetupScript.Instance = instance;
    DetectMmx();
    InitCommonControlClasses();
    StoreModuleName();
    if (!StoreSourceFolder()) {
        ShowUnusableFolder();
        RunExitCode = ExitCouldNotStart;
        return EndRun();
    }

    SetupScript.AppMode = ModeMenu;
    const char letterText[2] = {letter, '\0'};
    const CommandAction action = ActiveSwitches.Any ? ReadCommandLetter(letterText) : ReadCommandLetter(commandLine);
    StoreStartFolder(action);
    switch (action) {
    case CommandRelaunchLauncher:
        HandOnStartFolder();
        if (Relaunch('t'))
            return EndRun();
        SysSetEnvironment(StartFolderVariable, nullptr);
        break;
    case CommandRelaunchUninstall:
        HandOnStartFolder();
        if (Relaunch('r'))
            return EndRun();
        SysSetEnvironment(StartFolderVariable, nullptr);
        break;
    // Running from a relaunch folder, the program clears it at its exit.
    case CommandLauncher:
        TakeOwnRelaunchFolder();
        break;
    case CommandUninstall:
        TakeOwnRelaunchFolder();
        SetupScript.AppMode = ModeUninstall;
        break;
    case CommandUnknown: {
        char text[1024];
        FormatText(text, sizeof text, "OptionString = \"%s\"", commandLine);
        SysMessageBox(nullptr, text, "DRUBEL", MB_OK);
        break;
    }
    }

    // The working instance logs from its start when asked to; otherwise
    // once it installs, uninstalls or checks.
    if (ActiveSwitches.Log)
        OpenLogOfRun();
    ResetSetupScript();
    if (!LoadSetupScript()) {
        ShowLoadFailure();
        return EndRun();
    }
    LogLine("script: %s, %s", SetupScript.APPLITITLE, SetupScript.REGADDRESS);
    ComposeInstallBasePathFromRegistry();
    if (ActiveSwitches.HasDir)
        CopyText(SetupScript.InstallBasePath, ActiveSwitches.Dir);
    ReadInstallRecord();

    const StartupActions actions = {LocateDiscAtStart, ReloadScriptFrom};
    switch (RunStartupSteps(actions)) {
    case StartupDone:
        break;
    case StartupCancelled:
        RunExitCode = ExitCancelledBefore;
        return EndRun();
    case StartupLoadFailed:
        ShowLoadFailure();
        return EndRun();
    }
    if (!ScriptKeyIsUsable())
        return EndRun();
    // An installation killed before it was recorded is not forgotten.
    RecoverUnfinishedInstallation();

    const ModeScreens screens = {RunLauncherScreen, RunInstallMode, RunUninstallScreen, RunStartGameMode,
                                 RunFileCheckScreen};
    if (Unattended(ActiveSwitches)) {
        RunUnattended(screens);
    } else if (SetupScript.AppMode != ModeExit) {
        if (!RunModeLoop(screens)) {
            LogLine("exit code %d", ExitCodeOfRun());
            LogClose();
            return ExitCodeOfRun();
        }
    }
    // Also the folder of a reload in place.
    CleanUpTemp();
    return EndRun();
}
