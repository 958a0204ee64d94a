#include "common/shell_folders.h"

#include "common/system_text.h"

bool GetSpecialFolderPath(int csidl, char path[260])
{
    return SysGetSpecialFolder(csidl, path, 260);
}
