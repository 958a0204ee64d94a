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

// Calls `take` with the kind and path of every whole, well-formed line.
template <typename Take>
void ForEachLine(const char* text, size_t length, Take take)
{
    size_t at = 0;
    while (at < length) {
        const char* line = text + at;
        const void* end = memchr(line, '\n', length - at);
        if (end == nullptr)
            return;  // the last line was cut
        const size_t lineLength = static_cast<size_t>(static_cast<const char*>(end) - line);
        at += lineLength + 1;
        if (lineLength < 4 || line[1] != ' ' || line[lineLength - 1] != '\r')
            continue;
        char path[PathWidth];
        const size_t pathLength = lineLength - 3;
        if (pathLength >= sizeof path || memchr(line + 2, '\0', pathLength) != nullptr)
            continue;
        memcpy(path, line + 2, pathLength);
        path[pathLength] = '\0';
        take(line[0], path);
    }
}

}  // namespace

bool JournalNamesEntry(const char* text, size_t length, const char* key)
{
    bool named = false;
    ForEachLine(text, length, [&](char kind, const char* path) {
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

void UndoJournal(const char* text, size_t length, const JournalScope& scope,
                 const JournalActions& actions)
{
    struct Folder {
        int Depth;
        char Path[PathWidth];
    };
    std::vector<Folder> folders;
    ForEachLine(text, length, [&](char kind, const char* path) {
        if (!JournalAllows(scope, kind, path))
            return;
        if (kind == JournalFileLine) {
            actions.DeleteFile(actions.Context, path);
            return;
        }
        Folder folder;
        folder.Depth = Depth(path);
        CopyText(folder.Path, path);
        folders.push_back(folder);
    });
    if (actions.FilesDone != nullptr)
        actions.FilesDone(actions.Context);
    // A folder goes before the one that holds it; one that still holds
    // something (the player's own files among them) stays.
    std::stable_sort(folders.begin(), folders.end(),
                     [](const Folder& a, const Folder& b) { return a.Depth > b.Depth; });
    for (const Folder& folder : folders)
        actions.RemoveFolder(actions.Context, folder.Path);
}
