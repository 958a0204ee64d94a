// Links on the way to a path. A reparse point (a junction, a symbolic link,
// a mount point) at or below a folder of the installation would point the
// program's writes and deletions at some other folder, the system's own
// among them: the program writes and deletes nothing through one.
#pragma once

#include <cstddef>
#include <cstdint>

// The attribute bits the walk looks at, with the system's values.
constexpr uint32_t LinkAttribute = 0x400;      // FILE_ATTRIBUTE_REPARSE_POINT
constexpr uint32_t NoAttributes = 0xFFFFFFFF;  // INVALID_FILE_ATTRIBUTES: nothing there

// The attributes of one path as the system reports them for the path
// itself, a link at its end not followed; NoAttributes when there is none.
using AttributesLookup = uint32_t (*)(void* context, const char* path);

// The first level, from `root` itself down to `path` itself, that is a
// link, into `link` (when not null). False when there is none. A path that
// does not lie at or below `root` counts as reached through a link: it
// comes back as the link.
bool FindLinkOnPath(const char* root, const char* path, AttributesLookup lookup, void* context,
                    char* link, size_t linkSize);

// True when `path` lies at or below `root` and no level from `root` down to
// the folder that holds `path` is a link: the path itself is reached
// without passing one (it may be a link itself, which deleting takes away
// as a link).
bool ReachedWithoutLink(const char* root, const char* path, AttributesLookup lookup,
                        void* context);

// Of the `count` roots (null or empty ones passed over), the outermost one
// that holds `path` or is `path`; null when none does.
const char* OutermostRootOf(const char* path, const char* const* roots, int count);
