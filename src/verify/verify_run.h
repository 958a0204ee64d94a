// The installed-file check apart from its dialog: the items to check, the
// state of a run, and one step of the run. The worker thread and the
// benchmark drive the same steps; the controls are reached through a view.
#pragma once

#include "archive/pak.h"
#include "script/setup_model.h"
#include "verify/md5.h"

#include <cstddef>
#include <cstdint>

// Messages between the dialog and its worker.
constexpr unsigned WM_VERIFY_START = 0x506;  // dialog -> worker thread
constexpr unsigned WM_VERIFY_STOP = 0x507;   // dialog -> worker thread
constexpr unsigned WM_VERIFY_DONE = 0x508;   // worker -> dialog (posted)

// Files are read and hashed in pieces of this size, one piece per step, so
// that a stop request is seen within one piece: a tenth of a millisecond of
// hashing, or a few tens of milliseconds from a slow disk. Larger pieces
// than this gain nothing; smaller ones spend the time in system calls.
constexpr uint32_t VerifyPieceSize = 64 * 1024;
constexpr int MaxVerifyItems = MaxDiscs * MaxFilesPerDisc;
// The progress bar takes a 16-bit upper bound.
constexpr uint32_t MaxProgressRange = 0xFFFF;

extern const char StatusNotRun[];
extern const char StatusChecking[];
extern const char StatusOk[];
extern const char StatusCannotOpen[];
extern const char StatusReadFailed[];
extern const char StatusDifferent[];

// The listed items, by item index: the file's name below the install folder
// and its expected digest. Kept apart from the list, so that the worker
// needs the dialog only to show what it found.
struct VerifyItems {
    char Name[MaxVerifyItems][PathWidth];
    char Digest[MaxVerifyItems][TextWidth];
    uint8_t Disc[MaxVerifyItems];  // the disc it was copied from, 0-based
    uint64_t Size[MaxVerifyItems]; // its listed size
    int Count;
};

struct VerifyState {
    const VerifyItems* Items;  // what the run checks; kept by every reset
    int32_t CurrentItem;    // list item in progress; -1 before the first
    uint32_t ErrorCount;    // items with an NG verdict
    uint64_t BytesDone;     // of the current file
    uint64_t FileSize;      // of the current file: files of 4 GB and more are read whole
    PakFile* OpenFile;      // the file being read; null between files
    Md5Context Md5;
    uint32_t ProgressShown; // bar position last shown for the current file
};

// Zeroes the state for a new run of its items: no item yet, no file open.
void ResetVerifyState(VerifyState* state);

// Walks the file table of discs 0 .. DISCNUM-1, each up to its first empty
// name, and calls `add` for every entry with a digest that the installed
// option copied (every such entry while InstallOption is 0), with
// consecutive item indexes from 0; stores each name and digest in `items`.
// Returns the number of items, also kept in its Count.
int CollectVerifyItems(VerifyItems* items, void (*add)(void* context, int item, const char* name),
                       void* context);

// True when the computed digest (32 lower-case hex digits) and the script's
// text name the same digest: hexadecimal is read without regard to case.
bool DigestMatches(const char* computedHex, const char* expected);

// The bar's range for a file of `fileSize` bytes: the number of pieces,
// at most MaxProgressRange; and the position after `piecesDone` pieces,
// scaled so that a file of more pieces than the range still fills the bar.
uint32_t ProgressRange(uint64_t fileSize);
uint32_t ProgressPosition(uint64_t piecesDone, uint64_t fileSize);

// How a step shows its work: the list and the progress bar of the dialog,
// or nothing at all in the benchmark.
struct VerifyView {
    void* Context;
    void (*ShowStatus)(void* context, int item, const char* status);
    // A new file: range 0 .. range, position 0.
    void (*StartProgress)(void* context, uint32_t range);
    void (*ShowProgress)(void* context, uint32_t position);
};

// One pass of the worker: opens the next item's file (state->Items) when none
// is open, or hashes one piece of the open file (finishing its verdict
// after the last).
// `installFolder` holds the files; `piece` is VerifyPieceSize bytes.
// 1 while there is more to do, 0 once every item has its verdict.
int VerifyStep(VerifyState* state, const VerifyView& view, const char* installFolder,
               uint8_t* piece);

// Closes a file left open by a stopped run.
void AbandonVerifyRun(VerifyState* state);
