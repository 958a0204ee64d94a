#include "archive/osfile.h"

#include "common/cp932.h"
#include "common/system_text.h"
#include "common/text.h"

#include <windows.h>

#include <cstring>

static HANDLE Handle(OsFile file) { return static_cast<HANDLE>(file); }

OsFile OsOpenRead(const char* path)
{
    if (path == nullptr)
        return nullptr;
    HANDLE h = SysCreateFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
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

// Compared as a Japanese system compares them, whatever the system's own
// locale, so that an archive finds the same members on every Windows.
bool OsNamesEqual(const char* a, const char* b)
{
    // Member names are at most 32 bytes; a longer text is no member name.
    char16_t wideA[64];
    char16_t wideB[64];
    if (!Cp932ToWide(a, wideA, 64) || !Cp932ToWide(b, wideB, 64)) {
        const size_t la = strlen(a);
        return la == strlen(b) && EqualNoCaseN(a, b, la);
    }
    const LCID japanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT);
    return CompareStringW(japanese, NORM_IGNORECASE, reinterpret_cast<const wchar_t*>(wideA), -1,
                          reinterpret_cast<const wchar_t*>(wideB), -1) == CSTR_EQUAL;
}
