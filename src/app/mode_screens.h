// The screens of the modes other than the launcher. Each leaves the next
// mode in SetupScript.AppMode and returns 0 only when the program must end
// at once, without the normal exit.
#pragma once

int RunInstallMode();
int RunUninstallScreen();
int RunStartGameMode();
int RunFileCheckScreen();
