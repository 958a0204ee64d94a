#include "uninstall/uninstall_paths.h"

#include "common/drive_root.h"
#include "common/path_rules.h"
#include "common/text.h"

#include <cstring>
#include <initializer_list>

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
    // SAVEFOLDER is a level of the script's own: "." would make the install
    // folder the save folder.
    bool built = IsRemovalRoot(installFolder) && IsPlainFolderPath(saveFolder);
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

// Length without one trailing backslash (a whole character).
static size_t LengthWithoutSeparator(const char* path)
{
    const size_t length = strlen(path);
    return EndsWithBackslash(path) ? length - 1 : length;
}

bool SamePath(const char* a, const char* b)
{
    if (a == nullptr || b == nullptr)
        return false;
    const size_t length = LengthWithoutSeparator(a);
    return length == LengthWithoutSeparator(b) && EqualNoCaseN(a, b, length);
}

// True when `path` is `folder` or lies below it.
static bool IsAtOrBelow(const char* path, const char* folder)
{
    const size_t length = LengthWithoutSeparator(folder);
    if (length == 0 || !EqualNoCaseN(path, folder, length))
        return false;
    return path[length] == '\0' || (path[length] == '\\' && IsSeparatorAt(path, length));
}

static bool Known(const char* folder) { return folder != nullptr && folder[0] != '\0'; }

// A profile in the profiles folder: exactly one level below it.
static bool IsProfileRoot(const char* folder, const char* profiles)
{
    if (!Known(profiles))
        return false;
    if (SamePath(folder, profiles))
        return true;
    if (!IsAtOrBelow(folder, profiles))
        return false;
    const char* rest = folder + LengthWithoutSeparator(profiles) + 1;
    const size_t level = SegmentLength(rest);
    return rest[level] == '\0' || (IsSeparator(rest[level]) && rest[level + 1] == '\0');
}

// True when the path's last levels are `levels` (compared as SamePath).
static bool EndsWithLevels(const char* folder, const char* levels)
{
    const size_t tail = LengthWithoutSeparator(levels);
    const size_t length = LengthWithoutSeparator(folder);
    if (tail == 0 || length <= tail)
        return false;
    const size_t separator = length - tail - 1;
    return IsSeparatorAt(folder, separator) && EqualNoCaseN(folder + separator + 1, levels, tail);
}

bool IsUsableInstallFolder(const char* folder, const SystemFolders& system,
                           const char* mustMakeFolder)
{
    if (!IsRemovalRoot(folder) || IsDriveRootPath(folder))
        return false;
    if (Known(system.Windows) && IsAtOrBelow(folder, system.Windows))
        return false;
    for (const char* programFiles : system.ProgramFiles)
        if (Known(programFiles) && SamePath(folder, programFiles))
            return false;
    if (IsProfileRoot(folder, system.Profiles) ||
        (Known(system.UserProfile) && SamePath(folder, system.UserProfile)))
        return false;
    return mustMakeFolder == nullptr || mustMakeFolder[0] == '\0' ||
           EndsWithLevels(folder, mustMakeFolder);
}

// Appends one level of the script's own; an empty one adds nothing.
static bool AddLevel(char* path, const char* level)
{
    if (!IsPlainFolderPath(level))
        return false;
    if (level[0] == '\0')
        return true;
    if (!JoinPath(path, PathWidth, path, level))
        return false;
    CutTrailingBackslash(path);
    return true;
}

void ComposeSaveFolders(const char* installFolder, const char* localAppData, const char* brand,
                        const char* title, const char* saveFolder, SaveFolders* out)
{
    memset(out, 0, sizeof *out);
    if (Known(installFolder) && CopyText(out->InInstall, installFolder)) {
        CutTrailingBackslashKeepRoot(out->InInstall);
        if (!AddLevel(out->InInstall, saveFolder))
            out->InInstall[0] = '\0';
    }
    if (!Known(localAppData) || !CopyText(out->Local, localAppData))
        return;
    CutTrailingBackslashKeepRoot(out->Local);
    for (const char* level : {brand, title, saveFolder}) {
        if (!AddLevel(out->Local, level)) {
            memset(out->LocalLevels, 0, sizeof out->LocalLevels);
            out->LocalLevelCount = 0;
            break;
        }
        if (level[0] != '\0')
            CopyText(out->LocalLevels[out->LocalLevelCount++], out->Local);
    }
    // Without a level of its own the save folder would be the local
    // application data itself.
    if (out->LocalLevelCount == 0)
        out->Local[0] = '\0';
}

SaveFolderKind ClassifySaveFolder(const char* savePath, const SaveFolders& folders)
{
    if (!Known(savePath))
        return SaveFolderNone;
    if (Known(folders.InInstall) && SamePath(savePath, folders.InInstall))
        return SaveFolderInInstall;
    if (Known(folders.Local) && SamePath(savePath, folders.Local))
        return SaveFolderLocal;
    return SaveFolderNone;
}

bool FormatMissingInstallMessage(char* dest, size_t size, const char* installFolder)
{
    return FormatText(dest, size,
                      "インストール先のフォルダが見つかりません。\r\n\r\n%s\r\n\r\n"
                      "フォルダは既に削除されています。登録情報とショートカットを削除します。",
                      installFolder);
}
