// The Windows side of the start-up: registry reads and script reloads.
#pragma once

#include <windows.h>

// InstallBasePath from "ProgramFilesDir" and BRANDFOLDER.
void ComposeInstallBasePathFromRegistry();
// IsInstalled, InstallFolder and InstallOption from the user's key REGADDRESS.
void ReadInstallRecord();
