#include "common/shell_folders.h"

#include <windows.h>
#include <shlobj.h>

bool GetSpecialFolderPath(int csidl, char path[260])
{
    path[0] = '\0';
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr)
        return false;
    LPITEMIDLIST items = nullptr;
    BOOL found = FALSE;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) && items != nullptr) {
        found = SHGetPathFromIDListA(items, path);
        allocator->Free(items);
    }
    allocator->Release();
    // A failed lookup may have left part of a path behind.
    if (!found)
        path[0] = '\0';
    return found != FALSE;
}
