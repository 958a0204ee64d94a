// Removing an installation: files, folders, shortcuts, the install record
// and, on request, the save data. Also what undoes a failed installation.
//
// Every removal is tolerant: what cannot be removed stays, and only the
// results below tell. Nothing outside the install folder, the save folder,
// the Start-menu group and the desktop link is ever deleted: a listed name
// that would lead out of its folder is skipped and makes the result 0.
#pragma once

// The uninstall dialog (template 109), opened without owner. "実行" removes
// the game and leaves AppMode at ModeUninstall, after which the mode loop
// clears IsInstalled and ends the program; "ｷｬﾝｾﾙ" sets ModeMenu and changes
// nothing.
void UninstallDialog();

// The dialog's sequence after "実行": files (and save data when asked),
// shortcuts, the install record, the install folder. 1 when all of it went
// (a folder already gone counts as removed), else 0.
int RunUninstallSequence(int deleteSaveData);

// The install folder was deleted by hand: its links, the install record and
// the Apps & features entry go, so that nothing names the game any more.
int ForgetMissingInstallation();

// Deletes the listed files of every disc and the MAKEFOLDER folders, then the
// install folder itself; with `deleteSaveData` the save data first. Leaves
// the current folder alone. 1 when every deletion succeeded or found nothing
// to delete, else 0. Also runs on the copy worker's thread, to undo an
// installation.
int RemoveInstalledFiles(int deleteSaveData);

// Deletes the SAVEDATA files in the save folder, the folder and, when
// Install.ini named it, its two enclosing levels when they are empty, and
// Install.ini. 1 or 0 as RemoveInstalledFiles.
int RemoveSaveData();

// Sets SavePath from Install.ini in the install folder: 1 when the file named
// it, 0 when the default (install folder + "\" + SAVEFOLDER) was taken. An
// empty SavePath means there is no folder the save data may be deleted from.
int FindSaveFolder();

// Deletes the Start-menu links, their title folder, the brand folder when it
// is empty and, with `withDesktop`, the desktop link. 1 when every link was
// deleted and the title folder is gone; a link already missing is a failure.
int RemoveShortcuts(int withDesktop);

// The install record's value that holds the install folder of an
// installation until it is recorded; the removal of the record takes it too.
constexpr char UnfinishedInstallValue[] = "UnfinishedInstall";

// Deletes the install record: the values InstallFolder and InstallOption of
// the current user's key REGADDRESS, then the key when nothing else is left
// in it. A REGADDRESS outside "Software\" is never touched.
void RemoveInstallRecord();

// Deletes the current user's key `key` when it holds no value and no subkey.
void DeleteUserKeyIfEmpty(const char* key);

// True when `folder` may be the root of a removal on this machine: not a
// drive root, the Windows folder or below it, a program-files folder, the
// profiles folder or a profile, and ending with MUSTMAKEFOLDER when that is
// set (IsUsableInstallFolder with this system's folders).
bool InstallFolderUsableHere(const char* folder);

// 1 when the file was deleted or is not there (error 2 or 3), else 0.
int DeleteFileTolerant(const char* path);

// 1 when the folder was removed or is not there, else 0.
int RemoveFolderTolerant(const char* path);

// Deletes one listed name below `root`: the file itself, or every file (not
// folder) that a wildcard name matches in its folder part. 1 when each
// deletion succeeded or found nothing; 0 for a failed deletion and for a
// name that leads out of `root`, which is not touched.
int DeleteListedName(const char* root, const char* name);
