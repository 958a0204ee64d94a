// The walk of link_walk.h over the system's own attributes.
#pragma once

#include <cstddef>

// The first link from `root` down to `path` itself (see FindLinkOnPath).
bool SysFindLink(const char* root, const char* path, char* link = nullptr, size_t linkSize = 0);
// `path` reached from `root` without passing a link (see ReachedWithoutLink).
bool SysReachedWithoutLink(const char* root, const char* path);
// True when a folder is at `path` and it is no link.
bool SysIsRealFolder(const char* path);

// Deletes the file at `path` when it is reached from `root` without
// passing a link (a link at `path` itself goes as a link). Without a file
// of ours there, true: what lies behind a link is somebody else's. As
// DeleteFileTolerant otherwise.
bool SysDeleteFileBelow(const char* root, const char* path);
// The same for a folder, which goes only when empty; a link at `path`
// itself goes as a link, never touching what it points to.
bool SysRemoveFolderBelow(const char* root, const char* path);
