// The screens behind the modes other than the launcher. Until the install
// and game-start screens exist, their modes lead back to the launcher.
#include "app/mode_screens.h"

#include "script/setup_model.h"
#include "uninstall/uninstall.h"
#include "verify/file_check.h"

int RunInstallMode()
{
    SetupScript.AppMode = ModeMenu;
    return 1;
}

int RunUninstallScreen()
{
    UninstallDialog();
    return 1;
}

int RunStartGameMode()
{
    SetupScript.AppMode = ModeMenu;
    return 1;
}

int RunFileCheckScreen()
{
    FileCheckDialog();
    return 1;
}
