// The launcher dialog (the first screen) and its DirectX setup action.
#pragma once

#include <windows.h>

// Opens the launcher modally; the next mode is left in SetupScript.AppMode.
void LauncherDialog();

// Starts the DirectX setup from the first DXDISC disc found in a drive,
// asking for the disc until it is found or the user cancels.
void LaunchDirectXSetup(HWND dialog);

// Tells the player that the picture `member` of the setup data cannot be
// read (the archive named instead when it is the archive that is unsound),
// in a box owned by `owner` with the APPLITITLE caption.
void ShowUnreadableData(HWND owner, const char* member);
