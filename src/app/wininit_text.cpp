#include "app/wininit_text.h"

#include "common/text.h"

#include <cstring>

static const char RenameHeader[] = "[rename]";
static const size_t RenameHeaderLength = sizeof RenameHeader - 1;

size_t MakeWininitText(const char* path, char* out, size_t outSize)
{
    if (!FormatText(out, outSize, "%s\r\nNUL = %s", RenameHeader, path))
        return 0;
    return strlen(out);
}

// Offset just past the first header, or `length` + 1 when there is none.
static size_t FindRenameHeaderEnd(const char* text, size_t length)
{
    for (size_t i = 0; i + RenameHeaderLength <= length; ++i) {
        size_t k = 0;
        while (k < RenameHeaderLength) {
            char c = text[i + k];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != RenameHeader[k])
                break;
            ++k;
        }
        if (k == RenameHeaderLength)
            return i + RenameHeaderLength;
    }
    return length + 1;
}

size_t AddWininitEntry(const char* text, size_t length, const char* path, char* out,
                       size_t outSize)
{
    char entry[300];
    const size_t headerEnd = FindRenameHeaderEnd(text, length);
    const bool found = headerEnd <= length;
    // Found: the entry opens the section. Not found: it goes at the end.
    if (!FormatText(entry, sizeof entry, "\r\nNUL = %s\r\n", path))
        return 0;
    const size_t entryLength = strlen(entry);
    const size_t split = found ? headerEnd : length;
    if (length + entryLength + 1 > outSize)
        return 0;
    memmove(out, text, split);
    memcpy(out + split, entry, entryLength);
    memcpy(out + split + entryLength, text + split, length - split);
    out[length + entryLength] = '\0';
    return length + entryLength;
}
