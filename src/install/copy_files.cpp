#include "install/copy_files.h"

#include "common/drive_root.h"
#include "common/path_rules.h"
#include "common/text.h"

namespace {

struct Walk {
    const CopyIo& Io;
    CopyCounters* Counters;
    char SourceRoot[PathWidth];
    uint8_t Block[CopyChunkSize];
};

// Drive number 1 is A:. A number outside A to Z gives a root no drive has,
// so that every source fails to open instead of naming the current folder.
void ComposeSourceRoot(uint8_t drive, char* root, size_t size)
{
    if (!FormatDriveRoot(drive, root, size))
        CopyText(root, size, "?:\\");
}

CopyOutcome CopyOneFile(Walk& walk, const char* source, const char* target)
{
    const CopyIo& io = walk.Io;
    uint32_t remaining = 0;
    void* in = io.OpenSource(io.Context, source, &remaining);
    if (in == nullptr)
        return CopyReadError;
    void* out = io.CreateTarget(io.Context, target);
    if (out == nullptr) {
        io.CloseFile(io.Context, in);
        return CopyWriteError;
    }
    CopyOutcome outcome = CopyListDone;
    while (outcome == CopyListDone && remaining > 0) {
        // A file's last block, up to a whole one, goes without a message check.
        const uint32_t count = remaining > CopyChunkSize ? CopyChunkSize : remaining;
        if (count == CopyChunkSize && remaining > CopyChunkSize && !io.CheckMessages(io.Context)) {
            outcome = CopyStopped;
        } else if (!io.Read(io.Context, in, walk.Block, count)) {
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
    }
    io.CloseFile(io.Context, in);
    io.CloseFile(io.Context, out);
    return outcome;
}

CopyOutcome CopySingle(Walk& walk, const char* entry)
{
    char source[PathWidth];
    char target[PathWidth];
    if (!FormatText(source, sizeof source, "%s%s", walk.SourceRoot, entry))
        return CopyReadError;
    if (!JoinPath(target, SetupScript.InstallFolder, entry))
        return CopyWriteError;
    return CopyOneFile(walk, source, target);
}

// Paths of one match of a pattern: its folder part on the disc and below the
// install folder, then the matched name.
CopyOutcome CopyMatch(Walk& walk, const char* folder, const char* name)
{
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
        if (!found.IsFolder)
            outcome = CopyMatch(walk, folder, found.Name);
    } while (outcome == CopyListDone && io.FindNext(io.Context, search, &found));
    io.FindClose(io.Context, search);
    return outcome;
}

}  // namespace

CopyResult CopyDiscFiles(int disc, const CopyIo& io, CopyCounters* counters)
{
    if (disc < 0 || disc >= MaxDiscs)
        return {CopyListDone, 0};
    // The block lives with the walk: 4 KB of the thread's stack.
    Walk walk{io, counters, {}, {}};
    ComposeSourceRoot(SetupScript.DiscDrive, walk.SourceRoot, sizeof walk.SourceRoot);
    for (int index = 0; index < MaxFilesPerDisc; ++index) {
        if (!io.CheckMessages(io.Context))
            return {CopyStopped, index};
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
        if (outcome != CopyListDone)
            return {outcome, index};
    }
    return {CopyListDone, 0};
}
