// Mode 3: starting the installed game.
#pragma once

// The launcher's hold on the instance name, which the game may take too.
struct InstanceLock {
    void (*Release)();
    bool (*Take)();  // false when the name is taken by someone else
};

// Releases the lock, starts InstallFolder\EXENAME with the install folder as
// its current folder, and sets AppMode to Exit. When the game cannot be
// started the lock is taken again: if somebody else holds the name by then,
// the model is reset and 0 is returned (the program ends at once); else the
// failure message is shown and AppMode is the launcher. 1 otherwise.
int StartInstalledGame(const InstanceLock& lock);

// How the last start went: as the launcher's own child (not elevated, or no
// desktop shell to run it as), through the desktop's shell, or with the
// shell's token; or not at all.
enum GameStartWay {
    GameStartNotStarted,
    GameStartDirect,
    GameStartDesktopShell,
    GameStartShellToken,
};
GameStartWay LastGameStartWay();
