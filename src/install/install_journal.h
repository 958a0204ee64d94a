// What this installation made on the disk, kept as it goes, so that undoing
// it takes away exactly that and nothing the player had before.
//
// The journal is a small file beside Install.ini in the install folder, one
// line per folder level made and per file created, written as the
// installation goes (a killed process keeps what it wrote). The install
// record's key holds the install folder under "UnfinishedInstall" until the
// installation is recorded, so that the next start finds an installation
// that never finished.
#pragma once

#include "script/setup_model.h"
#include "uninstall/uninstall.h"  // UnfinishedInstallValue

#include <cstddef>

constexpr char JournalFileName[] = "Install.jnl";

constexpr char JournalFileLine = 'F';
constexpr char JournalFolderLine = 'D';
// The product's entry in Apps & features: the line holds its key below the
// current user's root. The undo of files and folders passes it over; the
// entry's own undo looks for it (JournalNamesEntry).
constexpr char JournalEntryLine = 'U';

// ---- Portable: the journal's lines and what undoing them may touch ----------

// One line: the kind, a blank, the path (one trailing backslash cut), CR LF.
// False when it does not fit.
bool FormatJournalLine(char* dest, size_t size, char kind, const char* path);

// Where an undo may act. The journal lies in a folder any user may write, so
// a line is acted on only when it names something this installation can
// have made: a file below the install folder, or a link file named in
// `LinkNames` directly in one of `LinkFolders`; a folder at or below the
// install folder, one that holds the install folder (removed only when
// empty, as every folder is), or one of `ExtraFolders` (the save folder's
// and the Start-menu group's levels).
struct JournalScope {
    const char* InstallFolder;
    const char* ExtraFolders[8];
    int ExtraFolderCount;
    const char* LinkFolders[2];
    int LinkFolderCount;
    const char (*LinkNames)[TextWidth];
    int LinkNameCount;
};

bool JournalAllows(const JournalScope& scope, char kind, const char* path);

struct JournalActions {
    void* Context;
    void (*DeleteFile)(void* context, const char* path);
    void (*RemoveFolder)(void* context, const char* path);
    // Between the files and the folders (may be null): where the journal
    // itself goes, so that a kill before it still finds every file line.
    void (*FilesDone)(void* context);
};

// Undoes the journal `text` (`length` bytes): every file line the scope
// allows, then every folder line, deepest first. A line without its line
// end (cut by a kill), of another kind, or with a path that does not fit
// 260 bytes is passed over.
void UndoJournal(const char* text, size_t length, const JournalScope& scope,
                 const JournalActions& actions);

// True when the journal `text` holds a whole entry line for `key`.
bool JournalNamesEntry(const char* text, size_t length, const char* key);

// ---- The installation's journal (Windows) -----------------------------------

// Starts the journal of an installation into InstallFolder: records
// "UnfinishedInstall" and keeps lines in memory until JournalOpenFile.
void JournalBegin();

// Opens the journal file in the install folder once that exists and writes
// the lines kept so far. An earlier unfinished installation's journal there
// is continued, so undoing this one takes that one back too. False when the
// file cannot be had.
bool JournalOpenFile();

// A folder level this installation has just made.
void JournalNewFolder(const char* path);

// Called right before a file is created: when no file is at `path` yet,
// records the file as made by this installation. False when the record
// cannot be kept; the caller then does not make the file, rather than make
// one it could not take back. True, recording nothing, outside an
// installation.
bool JournalNewFile(const char* path);

// Called right before the Apps & features entry `key` is written; an undo
// then deletes it. False when the line cannot be kept: the entry is then not
// written.
bool JournalNewUninstallEntry(const char* key);

// The installation is complete and recorded: the journal is no longer
// needed and goes, with "UnfinishedInstall".
void JournalFinish();

// Undoes this installation after a stop, an error or an abort: removes what
// the journal records, then the journal. Runs on the copy worker's thread or
// on the window's. Does nothing once done, or outside an installation.
void RollBackInstallation();

// At start-up, before the first screen: an installation of this product that
// never finished (killed mid-copy or on its finish screen) is named to the
// player and, on Yes, undone. One that finished but whose journal stayed is
// forgotten quietly. No leaves it to be asked about at the next start.
void RecoverUnfinishedInstallation();
