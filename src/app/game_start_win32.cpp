#include "app/game_start.h"

#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <windows.h>

// The path is quoted on the command line: the default install folder lies
// below "Program Files", and an unquoted path would reach the game as a
// program name cut at the blank plus stray arguments.
static bool StartGameProcess()
{
    char program[PathWidth];
    char commandLine[PathWidth + 2];
    if (!JoinPath(program, SetupScript.InstallFolder, SetupScript.EXENAME) ||
        !FormatText(commandLine, sizeof commandLine, "\"%s\"", program))
        return false;
    PROCESS_INFORMATION process = {};
    if (!SysCreateProcess(program, commandLine, 0, SetupScript.InstallFolder, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

int StartInstalledGame(const InstanceLock& lock)
{
    lock.Release();
    if (StartGameProcess()) {
        SetupScript.AppMode = ModeExit;
        return 1;
    }
    if (!lock.Take()) {
        ResetSetupScript();
        return 0;
    }
    SysMessageBox(nullptr, "起動に失敗しました。再インストールする事をお薦めします。",
                  SetupScript.APPLITITLE, MB_OK);
    SetupScript.AppMode = ModeMenu;
    return 1;
}
