// Mode 1 of the program: the install options dialog, then the install
// window with its own message loop, then the install record.
#pragma once

// The whole install mode. Leaves the next mode in AppMode: the launcher
// after a complete installation (the record written), after an abort (with
// its message) or a cancelled options dialog; Exit after a copy error.
// Returns 0 only when the install window could not be made: the program
// must end at once (the message was shown and `releaseInstanceLock` called).
int RunInstallation(int showCommand, void (*releaseInstanceLock)());

// The install window from creation to its last message (steps above without
// the options dialog). The same return value.
int RunInstallWindow(int showCommand, void (*releaseInstanceLock)());

// REGADDRESS under the current user: InstallFolder (REG_BINARY, all 260
// bytes) and InstallOption (REG_DWORD). 1 when both were written.
int WriteInstallRecord();
