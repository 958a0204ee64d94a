// Which paths the uninstaller may touch, and how it builds them. Everything
// it deletes lies below one of four roots: the install folder, the save
// folder, the Start-menu group and the desktop. A listed name that would
// lead out of its root is refused here, before any file call sees it.
#pragma once

#include <cstddef>

// True when `folder` can be the root of a removal: an absolute path with at
// least one folder level below a drive root ("C:\Games") or below a share
// ("\\server\share\Games"), and no ".." level. An empty text, a relative
// path or a bare root is refused: deleting listed names there would reach
// files the installation never made.
bool IsRemovalRoot(const char* folder);

// `root` + "\" + `name` when the name stays inside the root (no "..", drive
// or root of its own). False, with an empty `dest`, when it does not, or
// when the path does not fit.
bool BuildContainedPath(char* dest, size_t size, const char* root, const char* name);

// `root` + "\" + `folderPart` + "\" + `match` for a name a wildcard search
// found in that folder; the folder part is left out when it is empty. The
// match must be a bare file name. False, with an empty `dest`, otherwise.
bool BuildMatchPath(char* dest, size_t size, const char* root, const char* folderPart,
                    const char* match);

// The save folder recorded in Install.ini: the file's bytes start with
// "save=" and the path runs to the first zero byte or the end. False for
// other content, for a path that does not fit in `size` (a cut path would
// name some other folder) and for a path that is no removal root.
bool ParseInstallIni(const char* bytes, size_t length, char* savePath, size_t size);

// The save folder used when Install.ini does not name one: the install
// folder + "\" + SAVEFOLDER, or the install folder itself when SAVEFOLDER is
// empty. False, with an empty `dest`, when the install folder is no removal
// root or SAVEFOLDER leads out of it: then there is no save folder at all.
bool BuildDefaultSavePath(char* dest, size_t size, const char* installFolder,
                          const char* saveFolder);

// The folder that encloses `path` when its last level is `levelName`
// (compared without regard to ASCII case): cuts "\levelName" off in place.
// False, leaving the path as it was, when the last level is another one or
// when what remains is no removal root.
bool CutEnclosingLevel(char* path, const char* levelName);

// The Start-menu group programs\brand\title. An empty level is left out;
// a level that is not a contained name refuses the group. `levels` receives
// how many levels lie below the programs folder (0: the group would be the
// programs folder itself).
bool BuildShortcutGroup(char* dest, size_t size, const char* programs, const char* brand,
                        const char* title, int* levels);

// The dialog's caption "<title> のアンインストール".
bool FormatUninstallCaption(char* dest, size_t size, const char* title);

// The closing message: the short one when everything went, else the one
// that asks the player to remove what is left by hand.
const char* UninstallClosingMessage(bool allRemoved);
