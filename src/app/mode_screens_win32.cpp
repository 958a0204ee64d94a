// Until the install, game-start, uninstall and file-check screens exist,
// their modes lead straight back to the launcher.
#include "app/mode_screens.h"

#include "script/setup_model.h"

int RunInstallMode()
{
    SetupScript.AppMode = ModeMenu;
    return 1;
}

int RunUninstallScreen()
{
    SetupScript.AppMode = ModeMenu;
    return 1;
}

int RunStartGameMode()
{
    SetupScript.AppMode = ModeMenu;
    return 1;
}

int RunFileCheckScreen()
{
    SetupScript.AppMode = ModeMenu;
    return 1;
}
