// The texts of the install options dialog and the checks on the chosen
// folder that need no system call.
#pragma once

#include "script/setup_model.h"

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

// What a confirm of the options dialog comes to.
enum DestinationVerdict {
    DestinationAccepted,      // install there
    DestinationShortOfSpace,  // install there only when the player forces past the warning
    DestinationInvalid,       // the folder cannot be installed to
    DestinationDriveUnknown,  // no drive letter (a network path)
    DestinationDriveInvalid,  // the drive's free space cannot be had
};

// The system's answers a confirm needs.
struct DestinationSystem {
    void* Context;
    // Makes the 260-byte path absolute in place; false, leaving it, when it cannot.
    bool (*Resolve)(void* context, char* path);
    // Whether the uninstall could take the install folder away again here.
    bool (*UsableHere)(void* context, const char* installFolder);
    // The bytes free to the caller on a drive ("C:").
    bool (*FreeBytes)(void* context, const char* drive, uint64_t* bytes);
};

struct Destination {
    // Whether the edit text was read at all (one too long for 260 bytes is
    // not), and then what the dialog remembers for its next opening: the
    // text, resolved once it resolves.
    bool Read;
    char Typed[PathWidth];
    // Accepted or short of space: the base folder to keep (a drive root
    // keeps its backslash) and the install folder below it.
    char Chosen[PathWidth];
    char InstallFolder[PathWidth];
};

// Judges the edit text `text` (null when it does not fit 260 bytes) for an
// installation of `required` bytes. The install folder always lies inside
// the folder the player chose: never beside or above it through the
// script's own folder names, never somewhere that depends on the current
// folder, and never where the uninstall would refuse to take it away again.
DestinationVerdict JudgeDestination(const char* text, const char* mustMakeFolder,
                                    const char* brandFolder, uint64_t required,
                                    const DestinationSystem& system, Destination* out);

// The message a verdict shows, or null for one that goes on.
const char* DestinationMessage(DestinationVerdict verdict);

// The message of a destination refused for the link `link` at or below
// the install folder (a junction, a symbolic link, a mount point), naming it.
bool FormatLinkedDestinationMessage(char* dest, size_t size, const char* link);
