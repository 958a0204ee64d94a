#include "uninstall/uninstall_paths.h"

#include "common/path_rules.h"
#include "common/text.h"

#include <cstring>

static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Length of the segment that starts at `p`, up to the next separator or the
// end; a 0x5C trail byte belongs to its character.
static size_t SegmentLength(const char* p)
{
    size_t i = 0;
    while (p[i] != '\0' && !IsSeparator(p[i])) {
        if (IsLeadByte(static_cast<unsigned char>(p[i]), static_cast<unsigned char>(p[i + 1])))
            ++i;
        ++i;
    }
    return i;
}

// True when some level of a contained relative path names a real folder.
// Windows drops trailing dots and blanks, so "." or " " stays where it is.
static bool HasRealLevel(const char* rest)
{
    for (const char* p = rest; *p != '\0';) {
        const size_t length = SegmentLength(p);
        size_t kept = length;
        while (kept > 0 && (p[kept - 1] == '.' || p[kept - 1] == ' '))
            --kept;
        if (kept > 0)
            return true;
        p += length;
        if (*p != '\0')
            ++p;
    }
    return false;
}

bool IsRemovalRoot(const char* folder)
{
    if (folder == nullptr)
        return false;
    const char* rest = nullptr;
    const char c = folder[0];
    if (((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && folder[1] == ':' &&
        IsSeparator(folder[2])) {
        rest = folder + 3;
    } else if (IsSeparator(folder[0]) && IsSeparator(folder[1])) {
        // \\server\share\...; "\\?\" and "\\.\" are device namespaces, not shares.
        const char* server = folder + 2;
        const size_t serverLength = SegmentLength(server);
        if (serverLength == 0 || server[serverLength] == '\0' ||
            (serverLength == 1 && (server[0] == '?' || server[0] == '.')))
            return false;
        const char* share = server + serverLength + 1;
        const size_t shareLength = SegmentLength(share);
        if (shareLength == 0 || share[shareLength] == '\0')
            return false;
        rest = share + shareLength + 1;
    } else {
        return false;
    }
    return rest[0] != '\0' && IsContainedRelativePath(rest) && HasRealLevel(rest);
}

bool BuildContainedPath(char* dest, size_t size, const char* root, const char* name)
{
    if (size == 0)
        return false;
    if (!IsContainedRelativePath(name) || !JoinPath(dest, size, root, name)) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

bool BuildMatchPath(char* dest, size_t size, const char* root, const char* folderPart,
                    const char* match)
{
    if (size == 0)
        return false;
    const bool bareName = SegmentLength(match) == strlen(match) && IsContainedRelativePath(match) &&
                          HasRealLevel(match);
    bool built = bareName;
    if (built && folderPart[0] != '\0')
        built = BuildContainedPath(dest, size, root, folderPart) &&
                JoinPath(dest, size, dest, match);
    else if (built)
        built = JoinPath(dest, size, root, match);
    if (!built)
        dest[0] = '\0';
    return built;
}

bool ParseInstallIni(const char* bytes, size_t length, char* savePath, size_t size)
{
    static const char Key[] = "save=";
    const size_t keyLength = sizeof Key - 1;
    if (size == 0)
        return false;
    savePath[0] = '\0';
    if (bytes == nullptr || length < keyLength || memcmp(bytes, Key, keyLength) != 0)
        return false;
    const char* text = bytes + keyLength;
    const size_t available = length - keyLength;
    size_t textLength = 0;
    while (textLength < available && text[textLength] != '\0')
        ++textLength;
    if (!CopyTextN(savePath, size, text, textLength) || !IsRemovalRoot(savePath)) {
        savePath[0] = '\0';
        return false;
    }
    return true;
}

bool BuildDefaultSavePath(char* dest, size_t size, const char* installFolder,
                          const char* saveFolder)
{
    if (size == 0)
        return false;
    bool built = IsRemovalRoot(installFolder);
    if (built && saveFolder[0] == '\0')
        built = CopyText(dest, size, installFolder);
    else if (built)
        built = BuildContainedPath(dest, size, installFolder, saveFolder);
    if (!built)
        dest[0] = '\0';
    return built;
}

// True when a separator that is a whole character stands at `position`.
static bool IsSeparatorAt(const char* text, size_t position)
{
    size_t i = 0;
    while (i < position) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]), static_cast<unsigned char>(text[i + 1])))
            ++i;
        ++i;
    }
    return i == position && text[i] == '\\';
}

bool CutEnclosingLevel(char* path, const char* levelName)
{
    const size_t nameLength = strlen(levelName);
    size_t length = strlen(path);
    if (EndsWithBackslash(path))
        --length;
    if (nameLength == 0 || length <= nameLength)
        return false;
    const size_t separator = length - nameLength - 1;
    if (!IsSeparatorAt(path, separator) ||
        !EqualNoCaseN(path + separator + 1, levelName, nameLength))
        return false;
    const char kept = path[separator];
    path[separator] = '\0';
    if (!IsRemovalRoot(path)) {
        path[separator] = kept;
        return false;
    }
    return true;
}

bool BuildShortcutGroup(char* dest, size_t size, const char* programs, const char* brand,
                        const char* title, int* levels)
{
    *levels = 0;
    if (size == 0)
        return false;
    bool built = IsRemovalRoot(programs) && CopyText(dest, size, programs);
    const char* const names[2] = {brand, title};
    for (const char* level : names) {
        if (!built || level[0] == '\0')
            continue;
        built = BuildContainedPath(dest, size, dest, level);
        ++*levels;
    }
    if (!built) {
        dest[0] = '\0';
        *levels = 0;
    }
    return built;
}

bool FormatUninstallCaption(char* dest, size_t size, const char* title)
{
    return FormatText(dest, size, "%s のアンインストール", title);
}

const char* UninstallClosingMessage(bool allRemoved)
{
    return allRemoved ? "アンインストールが正常に終了しました。"
                      : "アンインストールは正常に終了しました。\n"
                        "ファイルやフォルダが残っている場合は、お手数ですが手動で削除して下さい。";
}
