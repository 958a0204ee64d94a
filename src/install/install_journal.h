// What this installation made on the disk, kept as it goes, so that undoing
// it takes away exactly that and nothing the player had before.
#pragma once

// Called by the copy right before it creates a destination file: when no
// file is at `path` yet, records the file as made by this installation.
// False when the record cannot be kept; the copy then fails the entry with
// a write error rather than make a file it could not take back.
bool JournalNewFile(const char* path);

// Undoes this installation after a stop, an error or an abort: removes what
// the journal records. Runs on the copy worker's thread or on the window's.
void RollBackInstallation();
