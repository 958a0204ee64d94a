#include "common/link_guard.h"

#include "common/link_walk.h"
#include "common/setup_log.h"
#include "common/system_text.h"

#include <windows.h>

namespace {

uint32_t SystemAttributes(void*, const char* path) { return SysGetFileAttributes(path); }

bool Tolerated(bool done)
{
    if (done)
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

bool SysFindLink(const char* root, const char* path, char* link, size_t linkSize)
{
    return FindLinkOnPath(root, path, SystemAttributes, nullptr, link, linkSize);
}

bool SysReachedWithoutLink(const char* root, const char* path)
{
    return ReachedWithoutLink(root, path, SystemAttributes, nullptr);
}

bool SysIsRealFolder(const char* path)
{
    const DWORD attributes = SysGetFileAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool SysDeleteFileBelow(const char* root, const char* path)
{
    if (!SysReachedWithoutLink(root, path)) {
        LogLine("Remove file %s: passed over, reached through a link", path);
        return true;
    }
    // DeleteFile takes a link itself away, never what it points to.
    const bool removed = SysDeleteFile(path);
    LogResult(removed, "Remove file %s", path);
    return Tolerated(removed);
}

bool SysRemoveFolderBelow(const char* root, const char* path)
{
    if (!SysReachedWithoutLink(root, path)) {
        LogLine("Remove folder %s: passed over, reached through a link", path);
        return true;
    }
    const DWORD attributes = SysGetFileAttributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        // A link to a folder goes with RemoveDirectory, which removes the
        // link itself; a link Windows shows as a file, with DeleteFile.
        const bool removed = SysRemoveFolder(path) || SysDeleteFile(path);
        LogResult(removed, "Remove the link %s", path);
        return removed;
    }
    const bool removed = SysRemoveFolder(path);
    LogResult(removed, "Remove folder %s", path);
    return Tolerated(removed);
}
