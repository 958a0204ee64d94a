#include "install/install_journal.h"

#include "common/path_rules.h"
#include "common/text.h"

#include <algorithm>
#include <cstring>
#include <vector>

bool FormatJournalLine(char* dest, size_t size, char kind, const char* path)
{
    char trimmed[PathWidth];
    if (!CopyText(trimmed, path))
        return false;
    CutTrailingBackslash(trimmed);
    return FormatText(dest, size, "%c %s\r\n", kind, trimmed);
}

namespace {

size_t LengthWithoutSeparator(const char* path)
{
    const size_t length = strlen(path);
    return EndsWithBackslash(path) ? length - 1 : length;
}

bool Same(const char* a, const char* b)
{
    const size_t length = LengthWithoutSeparator(a);
    return length == LengthWithoutSeparator(b) && EqualNoCaseN(a, b, length);
}

// The part of `path` below `folder` ("" for the folder itself), or null when
// the path does not lie at or below it.
const char* Below(const char* path, const char* folder)
{
    const size_t length = LengthWithoutSeparator(folder);
    if (length == 0 || !EqualNoCaseN(path, folder, length))
        return nullptr;
    if (path[length] == '\0')
        return path + length;
    // A separator that is the trail byte of the folder's last character
    // would have been cut above; this one is a whole character.
    return path[length] == '\\' ? path + length + 1 : nullptr;
}

bool AllowsFile(const JournalScope& scope, const char* path)
{
    const char* rest = Below(path, scope.InstallFolder);
    if (rest != nullptr)
        return rest[0] != '\0' && IsContainedRelativePath(rest);
    for (int i = 0; i < scope.LinkFolderCount; ++i) {
        const char* name = Below(path, scope.LinkFolders[i]);
        if (name == nullptr || name[0] == '\0' || FindLastBackslash(name) != nullptr)
            continue;
        for (int n = 0; n < scope.LinkNameCount; ++n)
            if (scope.LinkNames[n][0] != '\0' && Same(name, scope.LinkNames[n]))
                return true;
    }
    return false;
}

bool AllowsFolder(const JournalScope& scope, const char* path)
{
    const char* rest = Below(path, scope.InstallFolder);
    if (rest != nullptr)
        return rest[0] == '\0' || IsContainedRelativePath(rest);
    // A folder that holds the install folder: the levels of the chosen folder
    // the installation made on its way.
    const char* inside = Below(scope.InstallFolder, path);
    if (inside != nullptr && inside[0] != '\0' && IsContainedRelativePath(inside))
        return true;
    for (int i = 0; i < scope.ExtraFolderCount; ++i)
        if (scope.ExtraFolders[i] != nullptr && scope.ExtraFolders[i][0] != '\0' &&
            Same(path, scope.ExtraFolders[i]))
            return true;
    return false;
}

int Depth(const char* path)
{
    int depth = 0;
    for (const char* p = path; *p != '\0'; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(p[0]), static_cast<unsigned char>(p[1])))
            ++p;
        else if (*p == '\\')
            ++depth;
    }
    return depth;
}

// Takes one whole line (its line end cut): calls `take` with the kind and
// path when it is well formed.
template <typename Take>
void TakeLine(const char* line, size_t lineLength, Take& take)
{
    if (lineLength < 4 || line[1] != ' ' || line[lineLength - 1] != '\r')
        return;
    char path[PathWidth];
    const size_t pathLength = lineLength - 3;
    if (pathLength >= sizeof path || memchr(line + 2, '\0', pathLength) != nullptr)
        return;
    memcpy(path, line + 2, pathLength);
    path[pathLength] = '\0';
    take(line[0], path);
}

// Calls `take` for every whole, well-formed line of the source, holding no
// more than one line of memory. False when the source failed.
template <typename Take>
bool ForEachLine(const JournalSource& source, Take take)
{
    // A line of ours is at most "K " + 259 bytes + CR LF; a longer one is
    // skipped up to its line end, never held.
    char buffer[PathWidth + 8];
    size_t held = 0;
    bool skipping = false;
    for (;;) {
        const long got = source.Read(source.Context, buffer + held, sizeof buffer - held);
        if (got < 0)
            return false;
        if (got == 0)
            return true;  // a last line without its line end was cut: passed over
        held += static_cast<size_t>(got);
        size_t at = 0;
        for (;;) {
            const void* end = memchr(buffer + at, '\n', held - at);
            if (end == nullptr)
                break;
            const size_t lineLength =
                static_cast<size_t>(static_cast<const char*>(end) - (buffer + at));
            if (!skipping)
                TakeLine(buffer + at, lineLength, take);
            skipping = false;
            at += lineLength + 1;
        }
        memmove(buffer, buffer + at, held - at);
        held -= at;
        if (held == sizeof buffer) {
            skipping = true;
            held = 0;
        }
    }
}

struct MemorySource {
    const char* Text;
    size_t Length;
    size_t At;
};

long ReadMemory(void* context, char* buffer, size_t size)
{
    MemorySource* memory = static_cast<MemorySource*>(context);
    const size_t left = memory->Length - memory->At;
    const size_t n = left < size ? left : size;
    memcpy(buffer, memory->Text + memory->At, n);
    memory->At += n;
    return static_cast<long>(n);
}

}  // namespace

bool JournalNamesEntry(const char* text, size_t length, const char* key)
{
    bool named = false;
    MemorySource memory = {text, length, 0};
    const JournalSource source = {&memory, ReadMemory, nullptr};
    ForEachLine(source, [&](char kind, const char* path) {
        if (kind == JournalEntryLine && Same(path, key))
            named = true;
    });
    return named;
}

bool JournalAllows(const JournalScope& scope, char kind, const char* path)
{
    if (scope.InstallFolder == nullptr || scope.InstallFolder[0] == '\0' || path == nullptr)
        return false;
    if (kind == JournalFileLine)
        return AllowsFile(scope, path);
    if (kind == JournalFolderLine)
        return AllowsFolder(scope, path);
    return false;
}

bool UndoJournalFrom(const JournalSource& source, const JournalScope& scope,
                     const JournalActions& actions)
{
    struct Folder {
        int Depth;
        char Path[PathWidth];
    };
    std::vector<Folder> folders;
    folders.reserve(16);
    bool held = true;
    const bool read = ForEachLine(source, [&](char kind, const char* path) {
        if (!JournalAllows(scope, kind, path))
            return;
        if (kind == JournalFileLine) {
            actions.DeleteFile(actions.Context, path);
            return;
        }
        if (folders.size() >= static_cast<size_t>(MaxJournalFolders)) {
            held = false;
            return;
        }
        Folder folder;
        folder.Depth = Depth(path);
        CopyText(folder.Path, path);
        folders.push_back(folder);
    });
    if (source.Finished != nullptr)
        source.Finished(source.Context);
    const bool whole = read && held;
    if (whole && actions.FilesDone != nullptr)
        actions.FilesDone(actions.Context);
    // A folder goes before the one that holds it; one that still holds
    // something (the player's own files among them) stays.
    std::stable_sort(folders.begin(), folders.end(),
                     [](const Folder& a, const Folder& b) { return a.Depth > b.Depth; });
    for (const Folder& folder : folders)
        actions.RemoveFolder(actions.Context, folder.Path);
    return whole;
}

bool UndoJournal(const char* text, size_t length, const JournalScope& scope,
                 const JournalActions& actions)
{
    MemorySource memory = {text, length, 0};
    const JournalSource source = {&memory, ReadMemory, nullptr};
    return UndoJournalFrom(source, scope, actions);
}

bool FormatAbortMessage(char* dest, size_t size, bool undoneWhole, const char* installFolder)
{
    if (undoneWhole)
        return CopyText(dest, size, "インストールを中断しました。");
    return FormatText(dest, size,
                      "インストールを中断しました。\r\n\r\n"
                      "途中までインストールされたファイルが次のフォルダに残っている可能性があります。\r\n"
                      "%s",
                      installFolder);
}
