// Where an installation puts its save data, its Install.ini and its shell
// links: the decisions and the paths, apart from the calls that make them.
#pragma once

#include "script/setup_model.h"

#include <cstddef>
#include <cstdint>

// Platform identifier of the NT family in the version record.
constexpr uint32_t PlatformNt = 2;

// True when the save data go below the user's local application data: NT 6
// or later, and the install folder begins (ignoring case, a plain prefix
// test) with one of the program-files folders: both of a 64-bit Windows
// count, whichever view of the registry the program reads. Every folder is
// in its full, long form, so that "C:\PROGRA~1\Game" is below
// "C:\Program Files". Empty texts are none. Whether the local folder itself
// can be had is the caller's.
bool SaveGoesToLocalAppData(uint32_t platformId, uint32_t majorVersion,
                            const char* const* programFiles, int count, const char* installFolder);

// The content of Install.ini: "save=" and the save folder's path, nothing
// after it.
bool ComposeInstallIniText(char* dest, size_t size, const char* savePath);

struct ShortcutPaths {
    char LinkFile[PathWidth];
    char Target[PathWidth];
    char WorkFolder[PathWidth];
};

// The link file of SHORTCUTNAME[index] in `linkFolder`, and its target and
// working folder below the install folder (through SHORTCUTFOLDER when the
// entry has one). False when a path does not fit, or when the link's name
// would leave its folder: that link is not made.
bool ComposeShortcutPaths(const char* linkFolder, int index, ShortcutPaths* paths);

// True when link `index` starts an uninstaller copy of this program that
// lies in a folder of its own below the install folder: SHORTCUTFOLDER is a
// contained subfolder, SHORTCUTLINK is named like the program
// (`moduleName`, letter case aside) and SHORTCUTPARAM begins with the
// uninstall letter ('u' or 'r'). Its folder is the one to protect: the copy
// runs elevated whenever the link is used.
bool IsUninstallerLink(int index, const char* moduleName);
