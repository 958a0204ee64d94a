// An installation is refused where it would write through a link: the
// check of the chosen install folder before anything is copied.
#pragma once

#include "common/link_walk.h"

#include <cstddef>

// The first link at or below `installFolder` on the way to anything the
// installation writes there: the folder itself, the MAKEFOLDER folders,
// the folders and files of every disc's list, the save folder, Install.ini
// and the journal. Into `link`; false when there is none.
bool FindLinkInInstallation(const char* installFolder, AttributesLookup lookup, void* context,
                            char* link, size_t linkSize);
