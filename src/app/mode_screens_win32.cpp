// The screens behind the modes other than the launcher.
#include "app/mode_screens.h"

#include "app/app_shell.h"
#include "app/game_start.h"
#include "common/run_switches.h"
#include "install/install_run.h"
#include "uninstall/uninstall.h"
#include "verify/file_check.h"

int RunInstallMode()
{
    OpenLogOfRun();
    return RunInstallation(StartShowCommand, ReleaseInstanceMutex);
}

int RunUninstallScreen()
{
    OpenLogOfRun();
    UninstallDialog();
    return 1;
}

int RunStartGameMode()
{
    return StartInstalledGame({ReleaseInstanceMutex, TakeInstanceMutex});
}

int RunFileCheckScreen()
{
    OpenLogOfRun();
    FileCheckDialog();
    return 1;
}
