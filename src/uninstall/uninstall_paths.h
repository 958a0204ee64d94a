// Which paths the uninstaller may touch, and how it builds them. Everything
// it deletes lies below one of four roots: the install folder, the save
// folder, the Start-menu group and the desktop. A listed name that would
// lead out of its root is refused here, before any file call sees it.
#pragma once

#include "script/setup_model.h"

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
// root or SAVEFOLDER is no plain folder name: then there is no save folder.
bool BuildDefaultSavePath(char* dest, size_t size, const char* installFolder,
                          const char* saveFolder);

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

// What the uninstall says when the install folder is gone: the folder, and
// that only the registration is removed.
bool FormatMissingInstallMessage(char* dest, size_t size, const char* installFolder);

// Two paths naming the same folder: equal without regard to ASCII case, one
// trailing backslash on either side aside.
bool SamePath(const char* a, const char* b);

// The system's own folders, which no install folder may be (null or empty:
// not known).
struct SystemFolders {
    const char* Windows;          // this folder and everything below it
    const char* ProgramFiles[2];  // the folders themselves (registry, shell)
    const char* Profiles;         // the folder of all user profiles, and each profile in it
    const char* UserProfile;      // the player's own profile
};

// True when `folder`, read from the install record (which any user may
// write), can be the root of the uninstall's removal: a removal root that is
// not a drive root, not the Windows folder or below it, not a program-files
// folder itself, not the profiles folder nor a profile in it, and, when
// `mustMakeFolder` is not empty, ends with that folder level.
bool IsUsableInstallFolder(const char* folder, const SystemFolders& system,
                           const char* mustMakeFolder);

// The two save folders an installation can make, and nothing else: below
// the install folder (install folder \ SAVEFOLDER; the install folder itself
// when SAVEFOLDER is empty), and below the local application data
// (BRANDFOLDER \ APPLITITLE \ SAVEFOLDER, empty levels left out). A folder
// level that is not a plain folder name below its parent ("." or "..", a
// drive, a root) makes its candidate none: an empty text.
struct SaveFolders {
    char InInstall[PathWidth];
    char Local[PathWidth];
    // The levels made below the local application data, outermost first.
    char LocalLevels[3][PathWidth];
    int LocalLevelCount;
};

void ComposeSaveFolders(const char* installFolder, const char* localAppData, const char* brand,
                        const char* title, const char* saveFolder, SaveFolders* out);

enum SaveFolderKind {
    SaveFolderNone,       // neither: no save data may be removed there
    SaveFolderInInstall,
    SaveFolderLocal,
};

// Which of the candidates `savePath` is (compared as SamePath).
SaveFolderKind ClassifySaveFolder(const char* savePath, const SaveFolders& folders);
