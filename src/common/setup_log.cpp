#include "common/setup_log.h"

#include "common/cp932.h"
#include "common/text.h"

#include <cstdio>
#include <cstring>

bool FormatLogFileName(const LogTime& t, int number, char* out, size_t size)
{
    return number >= 1 && number <= 999 &&
           FormatText(out, size, "Drubel Setup Log %04d-%02d-%02d #%03d.txt", t.Year, t.Month, t.Day, number);
}

size_t WideToUtf8(const char16_t* text, char* out, size_t size)
{
    size_t n = 0;
    for (size_t i = 0; text[i] != 0; ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = '?';
        }
        char bytes[4];
        size_t count;
        if (c < 0x80) {
            bytes[0] = static_cast<char>(c);
            count = 1;
        } else if (c < 0x800) {
            bytes[0] = static_cast<char>(0xC0 | (c >> 6));
            bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
            count = 2;
        } else if (c < 0x10000) {
            bytes[0] = static_cast<char>(0xE0 | (c >> 12));
            bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
            count = 3;
        } else {
            bytes[0] = static_cast<char>(0xF0 | (c >> 18));
            bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
            count = 4;
        }
        if (n + count > size)
            break;
        memcpy(out + n, bytes, count);
        n += count;
    }
    return n;
}

size_t FormatLogLine(const LogTime& t, const char* text, char* out, size_t size)
{
    char stamp[32];
    snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d ", t.Year, t.Month, t.Day, t.Hour,
             t.Minute, t.Second, t.Millisecond);
    const size_t stampLength = strlen(stamp);
    if (size < stampLength + 2)
        return 0;
    memcpy(out, stamp, stampLength);
    size_t n = stampLength;
    const size_t room = size - 2;
    // Converted a character at a time, so that one the code page does not
    // know costs only itself.
    for (const char* p = text; *p != '\0' && n < room;) {
        const unsigned char c = static_cast<unsigned char>(*p);
        // The code page's single bytes below 0x80 are ASCII: taken as they
        // are, since a line per file copied must cost next to nothing.
        if (c < 0x80 && c != '\r' && c != '\n') {
            out[n++] = static_cast<char>(c);
            ++p;
            continue;
        }
        const bool pair = IsLeadByte(c, static_cast<unsigned char>(p[1]));
        char one[3] = {p[0], pair ? p[1] : '\0', '\0'};
        p += pair ? 2 : 1;
        char16_t wide[2];
        size_t got;
        // Line ends inside a text would split its line.
        if (one[0] == '\r' || one[0] == '\n') {
            out[n] = ' ';
            got = 1;
        } else if (Cp932ToWide(one, wide, 2)) {
            got = WideToUtf8(wide, out + n, room - n);
            if (got == 0)
                break;
        } else {
            out[n] = '?';
            got = 1;
        }
        n += got;
    }
    out[n++] = '\r';
    out[n++] = '\n';
    return n;
}
