// The full-screen install window: makes the folders, copies disc after disc
// through the copy worker while the install screen plays, makes the
// shortcuts and shows the finish screen. What happened is left in AppMode.
#pragma once

#include <windows.h>

// Guards the window's screen surface. RunInstallWindow creates it before
// the window and deletes it after the window's message loop.
extern CRITICAL_SECTION ScreenLock;

// The window procedure of the class "QRX_INST".
LRESULT CALLBACK InstallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
