#include "install/copy_files.h"

#include "common/drive_root.h"
#include "common/path_rules.h"
#include "common/text.h"

#include <cstdlib>

namespace {

struct Walk {
    const CopyIo& Io;
    CopyCounters* Counters;
    char SourceRoot[PathWidth];
    uint8_t* Block;
    uint32_t Capacity;   // bytes the block holds
    uint32_t BlockSize;  // of the next full block
};

// The located disc's root (a drive or a folder that holds a copy). With
// none, a root no drive has, so that every source fails to open instead of
// naming the current folder.
void ComposeSourceRoot(char* root, size_t size)
{
    if (!LocatedDiscRoot(root, size))
        CopyText(root, size, "?:\\");
}

CopyOutcome CopyOneFile(Walk& walk, const char* source, const char* target, uint64_t* bytes)
{
    const CopyIo& io = walk.Io;
    uint64_t remaining = 0;
    void* in = io.OpenSource(io.Context, source, &remaining);
    if (in == nullptr)
        return CopyReadError;
    *bytes = remaining;
    void* out = io.CreateTarget(io.Context, target);
    if (out == nullptr) {
        io.CloseFile(io.Context, in);
        return CopyWriteError;
    }
    CopyOutcome outcome = CopyListDone;
    while (outcome == CopyListDone && remaining > 0) {
        const uint32_t size = walk.BlockSize;
        // A file's last block, up to a whole one, goes without a message check.
        const bool last = remaining <= size;
        const uint32_t count = last ? static_cast<uint32_t>(remaining) : size;
        if (!last && !io.CheckMessages(io.Context)) {
            outcome = CopyStopped;
            break;
        }
        const uint64_t start = last ? 0 : io.Microseconds(io.Context);
        if (!io.Read(io.Context, in, walk.Block, count)) {
            outcome = CopyReadError;
        } else {
            walk.Counters->BytesRead += count;
            if (!io.Write(io.Context, out, walk.Block, count)) {
                outcome = CopyWriteError;
            } else {
                walk.Counters->BytesWritten += count;
                remaining -= count;
            }
        }
        if (!last && outcome == CopyListDone) {
            const uint32_t next = NextCopyBlockSize(size, io.Microseconds(io.Context) - start);
            walk.BlockSize = next < walk.Capacity ? next : walk.Capacity;
        }
    }
    io.CloseFile(io.Context, in);
    io.CloseFile(io.Context, out);
    return outcome;
}

CopyOutcome CopySingle(Walk& walk, const char* entry)
{
    char source[PathWidth];
    char target[PathWidth];
    uint64_t bytes = 0;
    CopyOutcome outcome;
    if (!FormatText(source, sizeof source, "%s%s", walk.SourceRoot, entry))
        outcome = CopyReadError;
    else if (!JoinPath(target, SetupScript.InstallFolder, entry))
        outcome = CopyWriteError;
    else
        outcome = CopyOneFile(walk, source, target, &bytes);
    if (walk.Io.FileDone != nullptr)
        walk.Io.FileDone(walk.Io.Context, entry, bytes, outcome);
    return outcome;
}

// Paths of one match of a pattern: its folder part on the disc and below the
// install folder, then the matched name.
CopyOutcome CopyMatch(Walk& walk, const char* folder, const char* name)
{
    // A match with no name of ours (none in 932, no short one) cannot be
    // opened: the disc's file is unreadable here, not skipped in silence.
    if (name[0] == '\0')
        return CopyReadError;
    char relative[PathWidth];
    if (folder[0] == '\0' ? !CopyText(relative, name) : !JoinPath(relative, folder, name))
        return CopyReadError;
    // The disc's own names (a file called "..." on some file systems) obey
    // the same rule as the listed ones.
    if (!IsContainedRelativePath(relative))
        return CopyWriteError;
    return CopySingle(walk, relative);
}

CopyOutcome CopyPattern(Walk& walk, const char* entry)
{
    const CopyIo& io = walk.Io;
    char folder[PathWidth];
    char pattern[PathWidth];
    if (!FolderPartOf(entry, folder, sizeof folder) ||
        !FormatText(pattern, sizeof pattern, "%s%s", walk.SourceRoot, entry))
        return CopyReadError;
    CopyFound found = {};
    void* search = io.FindFirst(io.Context, pattern, &found);
    if (search == nullptr)
        return CopyListDone;
    CopyOutcome outcome = CopyListDone;
    do {
        // The search also finds names through their short forms: only a long
        // name the pattern itself matches is copied. One with no 932 form
        // cannot be told, and cannot be named here either.
        if (found.IsFolder)
            continue;
        if (!found.LongName)
            outcome = CopyReadError;
        else if (ListedPatternNames(entry, found.Name))
            outcome = CopyMatch(walk, folder, found.Name);
    } while (outcome == CopyListDone && io.FindNext(io.Context, search, &found));
    io.FindClose(io.Context, search);
    return outcome;
}

}  // namespace

uint32_t NextCopyBlockSize(uint32_t size, uint64_t microseconds)
{
    if (microseconds * 2 < CopyBlockMicroseconds)
        return size < CopyLargestBlock / 2 ? size * 2 : CopyLargestBlock;
    if (microseconds <= CopyBlockMicroseconds)
        return size;
    // Straight down to the size that fits the time, as a power of two.
    const uint64_t fits = static_cast<uint64_t>(size) * CopyBlockMicroseconds / microseconds;
    uint32_t next = CopySmallestBlock;
    while (next * 2ull <= fits && next < CopyLargestBlock)
        next *= 2;
    return next;
}

CopyResult CopyDiscFiles(int disc, const CopyIo& io, CopyCounters* counters)
{
    if (disc < 0 || disc >= MaxDiscs)
        return {CopyListDone, 0};
    // Without memory for large blocks the copy still goes, 4 KB at a time.
    uint8_t fallback[CopySmallestBlock];
    uint8_t* large = static_cast<uint8_t*>(malloc(CopyLargestBlock));
    Walk walk{io, counters, {}, large != nullptr ? large : fallback,
              large != nullptr ? CopyLargestBlock : CopySmallestBlock,
              large != nullptr ? CopyFirstBlock : CopySmallestBlock};
    ComposeSourceRoot(walk.SourceRoot, sizeof walk.SourceRoot);
    CopyResult result = {CopyListDone, 0};
    for (int index = 0; index < MaxFilesPerDisc; ++index) {
        if (!io.CheckMessages(io.Context)) {
            result = {CopyStopped, index};
            break;
        }
        const FileEntry& entry = SetupScript.DiscFiles[disc][index];
        if (entry.Name == nullptr || entry.Name[0] == '\0')
            break;
        if ((entry.OptionMask & SetupScript.InstallOption) == 0)
            continue;
        CopyOutcome outcome;
        if (!IsContainedRelativePath(entry.Name))
            outcome = CopyWriteError;
        else if (IsPattern(entry.Name))
            outcome = CopyPattern(walk, entry.Name);
        else
            outcome = CopySingle(walk, entry.Name);
        if (outcome != CopyListDone) {
            result = {outcome, index};
            break;
        }
    }
    free(large);
    return result;
}
