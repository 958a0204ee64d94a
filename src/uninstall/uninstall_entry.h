// The game's entry in Settings → Apps (Apps & features, and Programs and
// Features before it): a key of the current user's
// Software\Microsoft\Windows\CurrentVersion\Uninstall, per user like the
// install record, the links and the save data. Its command starts the
// launcher's copy in the install folder with the letter u, so that the
// uninstall runs with no disc in any drive.
#pragma once

#include "script/setup_model.h"

#include <cstddef>
#include <cstdint>

constexpr char UninstallEntryRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The folder below the install folder that holds the launcher's copy when
// the product's lists do not install one themselves.
constexpr char UninstallerFolder[] = "uninst";

// The entry's key name for the install record's key `regAddress`:
// "Drubel_", the record's levels below "Software\" with every byte that is
// not an ASCII letter or digit made '_' (at most 40 of them), '_' and eight
// hex digits of the FNV-1a hash of the whole key, ASCII letters folded to
// lower case and one trailing backslash cut, as the registry compares keys.
// So one product always gets the same name, and two products with
// different keys practically never share one (the hash tells apart keys the
// readable part cannot). False for an empty key.
bool UninstallEntryName(const char* regAddress, char* name, size_t size);

// UninstallEntryRoot + "\" + the name.
bool UninstallEntryKey(const char* regAddress, char* key, size_t size);

// DisplayName: APPLITITLE, with SUBTITLE after a blank when there is one.
void FormatEntryDisplayName(char* name, size_t size, const char* title, const char* subtitle);

// InstallDate: YYYYMMDD.
bool FormatEntryInstallDate(char* date, size_t size, unsigned year, unsigned month, unsigned day);

// EstimatedSize: kilobytes, rounded up, held at the largest DWORD.
uint32_t EntryEstimatedSize(uint64_t bytes);

// UninstallString: the program's path in quotes, a blank and the letter u.
bool FormatEntryUninstallString(char* command, size_t size, const char* program);

// The launcher's copy that the lists of `option` install: a listed file
// named `moduleName` (letter case aside) with Drubel.ini and Instdata.pak
// listed in the same folder for the same option. True with the copy's
// folder relative to the install folder ("uninst", or "" for the install
// folder itself); false when the lists install none, and the installation
// then adds its own copy in UninstallerFolder.
bool FindListedLauncherCopy(const char* moduleName, uint32_t option, char* folder, size_t size);

// The program the entry starts, below `installFolder`: the listed copy, or
// the one in UninstallerFolder. `listed` tells which.
bool UninstallProgramPath(const char* installFolder, const char* moduleName, uint32_t option,
                          char* path, size_t size, bool* listed);

// ---- The entry in the registry (Windows) ------------------------------------

// Writes the entry of this product for the installation in InstallFolder:
// DisplayName, Publisher, DisplayIcon (the game program), InstallLocation,
// InstallDate (today), EstimatedSize (of `installedBytes`), UninstallString
// (`program` with u), NoModify and NoRepair. False when the key or a value
// cannot be written.
bool WriteUninstallEntry(const char* program, uint64_t installedBytes);

// Deletes this product's entry; nothing when there is none.
void RemoveUninstallEntry();
