#include "app/startup_steps.h"

#include "script/setup_model.h"

StartupResult RunStartupSteps(const StartupActions& actions)
{
    int reloads = 0;
    int step = 0;
    while (step < MaxExecSteps && SetupScript.EXEC[step].Code != 0) {
        const ExecStep& current = SetupScript.EXEC[step];
        const bool installed = SetupScript.IsInstalled != 0;
        char source[PathWidth] = {};
        bool reload = false;
        if (current.Code == CHANGECD && !installed) {
            // A quoted argument names no disc.
            const uint32_t disc = current.ArgumentText ? 0 : current.Argument;
            if (!actions.LocateDisc(disc))
                return StartupCancelled;
        } else if (current.Code == LOADINIFROMCD && !installed) {
            // No disc located yet means no folder to reload from.
            if (!LocatedDiscRoot(source, sizeof source))
                return StartupLoadFailed;
            reload = true;
        } else if (current.Code == LOADINIFROMHD && installed) {
            for (int i = 0; i < PathWidth; ++i)
                source[i] = SetupScript.InstallFolder[i];
            source[PathWidth - 1] = '\0';
            reload = true;
        }
        if (!reload) {
            ++step;
            continue;
        }
        if (++reloads > MaxScriptReloads || !actions.ReloadScript(source))
            return StartupLoadFailed;
        step = 0;
    }
    return StartupDone;
}

int RunModeLoop(const ModeScreens& screens)
{
    while (SetupScript.AppMode != ModeExit) {
        switch (SetupScript.AppMode) {
        case ModeMenu:
            screens.Launcher();
            break;
        case ModeInstall:
            if (!screens.Install())
                return 0;
            break;
        case ModeUninstall:
            if (!screens.Uninstall())
                return 0;
            // The uninstall left its mode: the removal ran, the program ends.
            if (SetupScript.AppMode == ModeUninstall) {
                SetupScript.IsInstalled = 0;
                SetupScript.AppMode = ModeExit;
            }
            break;
        case ModeStartGame:
            if (!screens.StartGame())
                return 0;
            break;
        case ModeVerify:
            if (!screens.FileCheck())
                return 0;
            if (SetupScript.AppMode == ModeVerify)
                SetupScript.AppMode = ModeMenu;
            break;
        default:
            // No screen answers to this mode; it could only loop for ever.
            SetupScript.AppMode = ModeExit;
            break;
        }
    }
    return 1;
}
