// The texts of the install options dialog and the checks on the chosen
// folder that need no system call.
#pragma once

#include <cstddef>
#include <cstdint>

// "%s のインストール設定" with the title.
bool ComposeOptionsCaption(char* dest, size_t size, const char* title);
// "%s ( %sMB)": the option's title and its rounded-up size in megabytes.
bool ComposeOptionLabel(char* dest, size_t size, const char* title, uint64_t bytes);
// The hint under the folder: the folder made below the chosen one.
bool ComposeFolderHint(char* dest, size_t size, const char* mustMakeFolder);

// The drive part of an absolute path ("C:"), or an empty text when the path
// names no drive letter (a network path, for one).
void DrivePartOf(const char* path, char* drive, size_t size);

// The install folder for a chosen base folder: one trailing backslash cut
// from the base, then "%s\%s" with the folder made below it. False when it
// does not fit its 260 bytes (a cut path would install somewhere else).
bool ComposeInstallFolder(char* basePath, const char* mustMakeFolder, char* installFolder,
                          size_t folderSize);
