// The launcher dialog (the first screen) and its DirectX setup action.
#pragma once

#include <windows.h>

// Opens the launcher modally; the next mode is left in SetupScript.AppMode.
void LauncherDialog();

// Starts the DirectX setup from the first DXDISC disc found in a drive,
// asking for the disc until it is found or the user cancels.
void LaunchDirectXSetup(HWND dialog);
