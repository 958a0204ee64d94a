// The start-up steps of the script (EXEC) and the mode loop, written over
// the actions they take so that the walk itself is plain logic.
#pragma once

#include <cstdint>

struct StartupActions {
    // Makes sure disc `disc` is in a drive (DiscDrive then names it): 1, or 0
    // when the user cancelled.
    int (*LocateDisc)(uint32_t disc);
    // Fetches Drubel.ini and Instdata.pak from `sourceFolder` and loads the
    // script afresh: 1, or 0 when it cannot be loaded.
    int (*ReloadScript)(const char* sourceFolder);
};

enum StartupResult {
    StartupDone,        // go on to the mode loop
    StartupCancelled,   // a disc request was cancelled: end silently
    StartupLoadFailed,  // a reload failed: end with the load-failure message
};

// A script whose own steps reload it again and again would never reach the
// launcher; after this many reloads the next one counts as a load failure.
constexpr int MaxScriptReloads = 8;

StartupResult RunStartupSteps(const StartupActions& actions);

struct ModeScreens {
    void (*Launcher)();
    // Each of these returns 0 when the program must end at once, skipping
    // the normal exit (the screen has done what that ending needs).
    int (*Install)();
    int (*Uninstall)();
    int (*StartGame)();
    int (*FileCheck)();
};

// Runs screens until AppMode is Exit: 1. 0 when a screen ended the program.
int RunModeLoop(const ModeScreens& screens);
