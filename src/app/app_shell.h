// State of the application shell that its screens share: the instance lock
// and the show command the program was started with.
#pragma once

#include <windows.h>

// Creates and owns the named mutex "ZENTOSYS". False when the name was
// already taken (another launcher, or a program using the same name).
bool TakeInstanceMutex();
// Closes it, so that a copy of the launcher or the game can take the name.
void ReleaseInstanceMutex();

// The show command of the program's entry, for the install window.
extern int StartShowCommand;

// The whole program: start-up, start-up steps, mode loop and exit.
int RunDrubel(HINSTANCE instance, const char* commandLine, int showCommand);
