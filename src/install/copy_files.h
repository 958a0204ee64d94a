// The copy worker's walk over one disc's file list: which entries are
// copied, from where to where, in blocks with a look at the worker's
// messages before each entry and each block but a file's last. The file,
// clock and message calls come in through CopyIo, so that the walk is
// plain logic.
#pragma once

#include "script/setup_model.h"

#include <atomic>
#include <cstdint>

// Blocks grow from the first size up to the largest while each one moves in
// well under CopyBlockMicroseconds, and shrink (down to the smallest) when
// one takes longer: a fast disk moves large blocks, a slow disc still sees
// its progress, pause and stop several times a second.
constexpr uint32_t CopySmallestBlock = 4096;
constexpr uint32_t CopyFirstBlock = 64 * 1024;
constexpr uint32_t CopyLargestBlock = 1024 * 1024;
constexpr uint64_t CopyBlockMicroseconds = 25000;

struct CopyFound {
    char Name[PathWidth];
    int IsFolder;
    int LongName;  // Name is the entry's long name (not its short one)
};

// How a file, and the walk over a list, ended.
enum CopyOutcome {
    CopyListDone,
    CopyStopped,
    CopyReadError,
    CopyWriteError,
};

struct CopyIo {
    void* Context;
    // An open source file and its size in bytes, or null.
    void* (*OpenSource)(void* context, const char* path, uint64_t* size);
    // A new (or emptied) destination file, or null.
    void* (*CreateTarget)(void* context, const char* path);
    // 1 when exactly `count` bytes were read or written; a short count is a failure.
    int (*Read)(void* context, void* file, uint8_t* buffer, uint32_t count);
    int (*Write)(void* context, void* file, const uint8_t* buffer, uint32_t count);
    void (*CloseFile)(void* context, void* file);
    // A search and its first match, or null when nothing matches.
    void* (*FindFirst)(void* context, const char* pattern, CopyFound* found);
    int (*FindNext)(void* context, void* search, CopyFound* found);
    void (*FindClose)(void* context, void* search);
    // The worker's message check: 1 to go on, 0 to stop.
    int (*CheckMessages)(void* context);
    // A steady clock in microseconds, for the block size.
    uint64_t (*Microseconds)(void* context);
    // Told once per file the walk tried, with the list's (or the match's)
    // name, the bytes the source holds (0 when it did not open) and how the
    // file ended; may be null.
    void (*FileDone)(void* context, const char* name, uint64_t bytes, CopyOutcome outcome);
};

// Bytes read and written so far in this installation. The worker raises
// them; the window's timer reads them without waiting for the worker.
struct CopyCounters {
    std::atomic<uint64_t> BytesRead{0};
    std::atomic<uint64_t> BytesWritten{0};
};

struct CopyResult {
    CopyOutcome Outcome;
    int Entry;  // FILELIST index of the entry that failed
};

// Copies the entries of `disc` (0-based) that share a bit with InstallOption
// from the root of DiscDrive to InstallFolder, up to the first empty name.
// Every file and search it opened is closed again when it returns. A name
// that would leave the install folder (a ".." segment, a drive or a root of
// its own), and a path that does not fit 260 bytes, fail their entry: a
// read error for a source path, a write error for a destination.
CopyResult CopyDiscFiles(int disc, const CopyIo& io, CopyCounters* counters);

// The next block size after a full block of `size` bytes took `microseconds`.
uint32_t NextCopyBlockSize(uint32_t size, uint64_t microseconds);
