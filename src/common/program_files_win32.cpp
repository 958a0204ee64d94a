#include "common/program_files.h"

#include <windows.h>

#include <cstring>

bool ReadProgramFilesDir(char* folder, size_t size)
{
    if (size == 0)
        return false;
    memset(folder, 0, size);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    // One byte short of the buffer: a value stored without its terminator
    // still ends inside it.
    DWORD length = static_cast<DWORD>(size - 1);
    const bool read = RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(folder), &length) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!read)
        folder[0] = '\0';
    return read;
}
