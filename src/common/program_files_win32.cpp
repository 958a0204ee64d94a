#include "common/program_files.h"

#include "common/system_text.h"

#include <cstring>

bool ReadProgramFilesDir(char* folder, size_t size)
{
    if (size == 0)
        return false;
    memset(folder, 0, size);
    HKEY key;
    if (!SysRegOpenKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", KEY_READ,
                       &key))
        return false;
    // A folder without a 932 form, even a short one, is not read: the
    // default folder stands in, and the player may choose another.
    const bool read = SysRegReadPath(key, "ProgramFilesDir", folder, size);
    RegCloseKey(key);
    if (!read)
        folder[0] = '\0';
    return read;
}
