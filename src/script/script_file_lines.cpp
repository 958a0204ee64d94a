// FILELIST, FILESIZE, FILEOPTION (one field of a disc's entries per line)
// and FILE (one whole entry appended to a disc).
#include "script/script_lines.h"
#include "script/setup_model.h"

#include <cstdlib>
#include <cstring>

static int EntryDetail(int disc, int entry) { return disc * MaxFilesPerDisc + entry; }

static int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A size in the number syntax of the other values, but 64 bits wide: games
// ship files of 4 GB and more, and a size cut to 32 bits would let the
// free-space check pass and the progress run wrong. A number beyond
// 2^64 - 1 is held at 2^64 - 1 (the most a disk can be short of) and noted.
static uint64_t ReadSize(const char* p, const char** end, bool* digits)
{
    p = SkipBlanks(p);
    const char* at = p;
    const bool hex = p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexValue(p[2]) >= 0;
    const unsigned base = hex ? 16 : 10;
    if (hex)
        p += 2;
    const char* start = p;
    uint64_t value = 0;
    bool tooLarge = false;
    for (int d; (d = HexValue(*p)) >= 0 && static_cast<unsigned>(d) < base; ++p) {
        const uint64_t digit = static_cast<uint64_t>(d);
        if (value > (UINT64_MAX - digit) / base)
            tooLarge = true;
        else
            value = value * base + digit;
    }
    if (tooLarge) {
        NoteAt(NoteSizeTooLarge, at);
        value = UINT64_MAX;
    }
    *end = p;
    *digits = p != start;
    return value;
}

static void StoreNumberItem(ScriptKey key, FileEntry& entry, const char* q, int detail)
{
    const char* end;
    bool digits;
    uint64_t size = 0;
    uint32_t mask = 0;
    if (key == KeyFileSize)
        size = ReadSize(q, &end, &digits);
    else
        mask = ReadNumber(q, &end, &digits);
    if (!digits)
        NoteAt(NoteNotANumber, q);
    else if (end < FindItemEnd(q))
        NoteAt(NoteTrailingBytes, end);
    if (key == KeyFileSize) {
        entry.ByteSize = size;
        NoteAt(NoteFileSizeStored, q, detail);
    } else {
        entry.OptionMask = mask;
        NoteAt(NoteFileOptionStored, q, detail);
    }
}

LineResult ParseFileListLine(ScriptKey key, const char* p)
{
    const char* q = SkipBlanks(p);
    const char* end;
    bool known;
    const uint32_t value = ReadValue(q, &end, &known);
    if (value == 0) {
        NoteAt(NoteUnknownDiscValue, q);
        return LineDone;
    }
    const char* equals = FindEquals(end);
    if (equals == nullptr) {
        NoteAt(NoteMissingEquals, q);
        return LineFailed;
    }
    // DISC1 ... DISC10 are 4 ... 13; anything else names no disc of the table.
    if (value < 4 || value > 3 + MaxDiscs) {
        NoteAt(NoteDiscValueOutOfRange, q);
        return LineDone;
    }
    const int disc = static_cast<int>(value) - 4;
    FileEntry* entries = SetupScript.DiscFiles[disc];
    q = SkipBlanks(equals + 1);
    const char* insideUntil = nullptr;
    for (int k = 0; !IsLineEnd(*q); ++k) {
        const bool leftover = insideUntil != nullptr && q < insideUntil;
        if (*q == ',') {
            NoteAt(NoteListEndsAtComma, q);
            break;
        }
        if (k >= MaxFilesPerDisc) {
            NoteAt(NoteItemsBeyondCapacity, q, MaxFilesPerDisc);
            break;
        }
        if (key != KeyFileList) {
            StoreNumberItem(key, entries[k], q, EntryDetail(disc, k));
        } else {
            char* block = static_cast<char*>(calloc(PathWidth, 1));
            if (block == nullptr) {
                NoteAt(NoteOutOfMemory, q);
                return LineFailed;
            }
            bool cutAtComma = false;
            if (*q == '"') {
                const QuotedText text = ScanQuotedText(q);
                StoreQuotedText(block, PathWidth, text);
                cutAtComma = text.End == QuoteCutAtComma;
                if (text.After > FindItemEnd(q)) {
                    NoteAt(NoteBlankInsideQuotes, q);
                    insideUntil = text.After;
                }
            } else if (!leftover) {
                NoteAt(NoteUnquotedText, q);
            }
            free(entries[k].Name);
            entries[k].Name = block;
            NoteAt(NoteFileNameStored, q, EntryDetail(disc, k));
            if (cutAtComma)
                break;  // the comma ends the list; the cut has been noted
        }
        q = SkipBlanks(FindItemEnd(q));
    }
    return LineDone;
}

// Reads one number of a FILE line and moves past it and the blanks after it.
static uint32_t ReadFileNumber(const char** q)
{
    const char* end;
    bool digits;
    const uint32_t number = ReadNumber(*q, &end, &digits);
    if (!digits)
        NoteAt(NoteNotANumber, *q);
    *q = SkipBlanks(FindItemEnd(*q));
    return number;
}

LineResult ParseFileLine(const char* p)
{
    const char* equals = FindEquals(p);
    if (equals == nullptr) {
        NoteAt(NoteMissingEquals, p);
        return LineFailed;
    }
    const char* q = SkipBlanks(equals + 1);
    const char* nameAt = q;
    char* block = static_cast<char*>(calloc(PathWidth, 1));
    if (block == nullptr) {
        NoteAt(NoteOutOfMemory, q);
        return LineFailed;
    }
    if (*q == '"') {
        const QuotedText text = ScanQuotedText(q);
        StoreQuotedText(block, PathWidth, text);
        q = text.After;
    } else {
        if (!IsLineEnd(*q))
            NoteAt(NoteUnquotedText, q);
        q = FindItemEnd(q);
    }
    q = SkipBlanks(q);
    const char* sizeEnd;
    bool sizeDigits;
    const uint64_t size = ReadSize(q, &sizeEnd, &sizeDigits);
    if (!sizeDigits)
        NoteAt(NoteNotANumber, q);
    q = SkipBlanks(FindItemEnd(q));
    const uint32_t mask = ReadFileNumber(&q);
    const char* discAt = q;
    const uint32_t disc = ReadFileNumber(&q);
    if (disc == 0) {
        free(block);
        NoteAt(NoteFileDiscZero, discAt);
        return LineFailed;
    }
    if (disc > MaxDiscs) {
        free(block);
        NoteAt(NoteFileDiscAbove10, discAt, static_cast<int>(disc > 0x7FFFFFFF ? 0x7FFFFFFF : disc));
        return LineDone;
    }
    char digest[TextWidth] = {};
    bool digestOpen = false;
    if (*q == '"') {
        const QuotedText text = ScanQuotedText(q);
        StoreQuotedText(digest, sizeof digest, text);
        digestOpen = text.End != QuoteClosed;
        if (!digestOpen && !RestIsEmpty(text.After))
            NoteAt(NoteRestIgnored, SkipBlanks(text.After));
    } else if (!IsLineEnd(*q)) {
        NoteAt(NoteUnquotedText, q);
    }
    FileEntry* entries = SetupScript.DiscFiles[disc - 1];
    int k = 0;
    while (k < MaxFilesPerDisc && entries[k].Name != nullptr)
        ++k;
    if (k == MaxFilesPerDisc) {
        free(block);
        NoteAt(NoteFileTableFull, nameAt, static_cast<int>(disc));
        return LineFailed;
    }
    entries[k].Name = block;
    entries[k].ByteSize = size;
    entries[k].OptionMask = mask;
    memcpy(entries[k].Digest, digest, sizeof digest);
    NoteAt(NoteFileLineStored, nameAt, EntryDetail(static_cast<int>(disc) - 1, k));
    if (digestOpen) {
        NoteAt(NoteParseEndsEarly, q);
        return LineEndsParse;
    }
    return LineDone;
}
