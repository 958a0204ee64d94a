#include "archive/osfile.h"

#include <windows.h>

static HANDLE Handle(OsFile file) { return static_cast<HANDLE>(file); }

OsFile OsOpenRead(const char* path)
{
    if (path == nullptr)
        return nullptr;
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

bool OsFileSize(OsFile file, uint64_t* size)
{
    LARGE_INTEGER li;
    if (file == nullptr || !GetFileSizeEx(Handle(file), &li))
        return false;
    *size = static_cast<uint64_t>(li.QuadPart);
    return true;
}

bool OsRead(OsFile file, void* buffer, uint32_t count, uint32_t* delivered)
{
    *delivered = 0;
    if (file == nullptr)
        return false;
    DWORD got = 0;
    const BOOL ok = ReadFile(Handle(file), buffer, count, &got, nullptr);
    *delivered = got;
    return ok != FALSE;
}

bool OsSkip(OsFile file, uint32_t offset)
{
    LARGE_INTEGER move;
    move.QuadPart = offset;
    return file != nullptr && SetFilePointerEx(Handle(file), move, nullptr, FILE_CURRENT);
}

bool OsSeek(OsFile file, uint64_t position)
{
    LARGE_INTEGER move;
    move.QuadPart = static_cast<LONGLONG>(position);
    return file != nullptr && SetFilePointerEx(Handle(file), move, nullptr, FILE_BEGIN);
}

void OsClose(OsFile file)
{
    if (file != nullptr)
        CloseHandle(Handle(file));
}

bool OsNamesEqual(const char* a, const char* b)
{
    return lstrcmpiA(a, b) == 0;
}
