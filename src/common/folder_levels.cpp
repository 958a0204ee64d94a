#include "common/folder_levels.h"

#include "common/text.h"

#include <cstring>

int ForEachFolderLevel(const char* path, void (*make)(const char* level, void* context),
                       void* context)
{
    const size_t length = strlen(path);
    if (length >= static_cast<size_t>(FolderLevelWidth))
        return 0;
    char work[FolderLevelWidth] = {};
    size_t i = 0;
    while (i < length) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        // IsLeadByte wants a second byte, so a pair never runs past the end.
        const size_t step = IsLeadByte(c, static_cast<unsigned char>(path[i + 1])) ? 2 : 1;
        memcpy(work + i, path + i, step);
        i += step;
        if ((step == 1 && c == '\\') || i == length)
            make(work, context);
    }
    return 1;
}
