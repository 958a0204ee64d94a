#include "common/text.h"

#include <cstdio>
#include <cstring>

bool IsLeadByte(unsigned char first, unsigned char next)
{
    return ((first >= 0x81 && first <= 0x9F) || (first >= 0xE0 && first <= 0xFC)) && next != 0;
}

// Length of the longest prefix of `source` (at most `limit` bytes) that does
// not end in the middle of a two-byte character.
static size_t WholeCharacterPrefix(const char* source, size_t length, size_t limit)
{
    if (length <= limit)
        return length;
    size_t i = 0;
    while (i < limit) {
        const unsigned char c = static_cast<unsigned char>(source[i]);
        const unsigned char n = static_cast<unsigned char>(source[i + 1]);
        const size_t step = IsLeadByte(c, n) ? 2 : 1;
        if (i + step > limit)
            break;
        i += step;
    }
    return i;
}

bool CopyTextN(char* dest, size_t size, const char* source, size_t count)
{
    if (size == 0)
        return false;
    size_t length = 0;
    while (length < count && source[length] != '\0')
        ++length;
    const size_t kept = WholeCharacterPrefix(source, length, size - 1);
    memcpy(dest, source, kept);
    dest[kept] = '\0';
    return kept == length;
}

bool CopyText(char* dest, size_t size, const char* source)
{
    return CopyTextN(dest, size, source, static_cast<size_t>(-1));
}

bool AppendText(char* dest, size_t size, const char* source)
{
    const size_t used = strnlen(dest, size);
    if (used >= size)
        return false;
    return CopyText(dest + used, size - used, source);
}

bool FormatTextV(char* dest, size_t size, const char* format, va_list args)
{
    if (size == 0)
        return false;
    const int n = vsnprintf(dest, size, format, args);
    if (n < 0) {
        dest[0] = '\0';
        return false;
    }
    return static_cast<size_t>(n) < size;
}

bool FormatText(char* dest, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const bool fit = FormatTextV(dest, size, format, args);
    va_end(args);
    return fit;
}

const char* FindLastBackslash(const char* text)
{
    const char* last = nullptr;
    for (const char* p = text; *p != '\0';) {
        const unsigned char c = static_cast<unsigned char>(p[0]);
        if (IsLeadByte(c, static_cast<unsigned char>(p[1]))) {
            p += 2;
            continue;
        }
        if (c == '\\')
            last = p;
        ++p;
    }
    return last;
}

bool EndsWithBackslash(const char* text)
{
    const size_t length = strlen(text);
    if (length == 0)
        return false;
    const char* last = FindLastBackslash(text);
    return last == text + length - 1;
}

void CutTrailingBackslash(char* text)
{
    if (EndsWithBackslash(text))
        text[strlen(text) - 1] = '\0';
}

bool JoinPath(char* dest, size_t size, const char* folder, const char* name)
{
    size_t folderLength = strlen(folder);
    if (EndsWithBackslash(folder))
        --folderLength;
    const size_t nameLength = strlen(name);
    if (size == 0)
        return false;
    if (folderLength + 1 + nameLength + 1 > size) {
        dest[0] = '\0';
        return false;
    }
    // memmove: callers may join a buffer onto itself.
    memmove(dest + folderLength + 1, name, nameLength + 1);
    memmove(dest, folder, folderLength);
    dest[folderLength] = '\\';
    return true;
}

bool EqualNoCaseN(const char* a, const char* b, size_t count)
{
    size_t i = 0;
    while (i < count) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[i]);
        if (IsLeadByte(ca, static_cast<unsigned char>(a[i + 1]))) {
            if (ca != cb || i + 1 >= count)
                return ca == cb;
            if (a[i + 1] != b[i + 1])
                return false;
            i += 2;
            continue;
        }
        const unsigned char la = (ca >= 'a' && ca <= 'z') ? ca - 32 : ca;
        const unsigned char lb = (cb >= 'a' && cb <= 'z') ? cb - 32 : cb;
        if (la != lb)
            return false;
        if (ca == '\0')
            return true;
        ++i;
    }
    return true;
}
