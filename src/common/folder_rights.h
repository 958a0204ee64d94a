// Rights of a folder that holds a program started with an administrator's
// rights.
#pragma once

// Gives `folder` rights of its own, no longer inherited from its parent:
// Administrators and SYSTEM have full control, Users may read and run, and
// nobody else may write, for the folder and everything in it; the owner
// becomes Administrators, so that no earlier owner keeps the right to
// change them. A program in it that links start elevated (an uninstaller
// copy) can then not be replaced by any user, even where the parent folder
// (C:\Games) is open to everyone. False where the system keeps no rights
// (Windows 9x) or they could not be set.
bool ProtectFolderForAdministrators(const char* folder);
