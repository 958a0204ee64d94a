// The folders an installation makes before its first file: the install
// folder, the MAKEFOLDER folders, the save folder, and Install.ini, which
// records where the save folder went.
#pragma once

// Makes every level of `path`, parent first; a level that exists or cannot
// be made is passed over. 0 only for a path beyond 259 bytes (nothing made).
int CreateFolderPath(const char* path);

// The install folder, each MAKEFOLDER folder (a name that would leave the
// install folder is skipped), the save folder and Install.ini. 1 when all of
// them were made.
int MakeInstallFolders();

// The outermost level that MakeInstallFolders made on the way to the
// install folder, or the install folder itself when it made none: below it
// nothing is written through a link.
const char* InstallWriteRoot();

// Sets SavePath and makes the save folder: below the local application data
// (brand folder, APPLITITLE, save folder name) on NT 6 or later when the
// install folder lies below the program-files folder, else in the install
// folder. 1 when the folder exists afterwards.
int MakeSaveFolder(const char* brandFolder, const char* saveFolderName);

// "save=" and SavePath in InstallFolder\Install.ini. 1 when written whole.
int WriteInstallIni();

// Creates (or replaces) the file with exactly the bytes of `text`. 1 when
// the file was made and the whole text written.
int WriteTextFile(const char* fileName, const char* text);

// The setup log's line for a folder that CreateDirectory did not make, right
// after it: the system's error, unless the folder is there already.
void LogFolderNotMade(const char* path);
