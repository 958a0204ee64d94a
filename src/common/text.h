// Bounded text operations over fixed Shift-JIS buffers.
//
// Every copy into a fixed-width field of the program goes through these
// helpers. Each one always leaves a terminated text and reports whether the
// whole input fit, so that every caller decides what a cut means for it.
#pragma once

#include <cstdarg>
#include <cstddef>

// True when `first` begins a two-byte character of code page 932: 0x81-0x9F
// or 0xE0-0xFC. 0xFD-0xFF are bytes of their own, as Windows reads them, so
// a 5C after one is a separator. The byte after it
// must exist (non-zero): a lone lead byte at the end of a text is a byte of
// its own, never a reason to step over the terminator.
bool IsLeadByte(unsigned char first, unsigned char next);

// Copies `source` into `dest` (capacity `size`, terminator included).
// Returns false when the text had to be cut. A cut never splits a two-byte
// character. `size` 0 writes nothing and returns false.
bool CopyText(char* dest, size_t size, const char* source);

// As CopyText, but takes at most `count` bytes of `source`.
bool CopyTextN(char* dest, size_t size, const char* source, size_t count);

// Appends `source` to the text already in `dest`; false when cut.
bool AppendText(char* dest, size_t size, const char* source);

// vsnprintf into `dest`; false when the result was cut or formatting failed
// (the buffer then holds the cut text, or an empty one).
bool FormatText(char* dest, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
bool FormatTextV(char* dest, size_t size, const char* format, va_list args);

// Removes one trailing backslash, if the text ends in one. A 0x5C that is the
// second byte of a two-byte character (such as the katakana so, 83 5C) is not
// a backslash and stays.
void CutTrailingBackslash(char* text);

// True when the text's last character is a backslash (not a trail byte).
bool EndsWithBackslash(const char* text);

// `folder`, with one trailing backslash cut, joined to `name` by a backslash:
// "%s\%s". False when the result does not fit (dest then holds an empty text,
// so a cut path is never used by mistake).
bool JoinPath(char* dest, size_t size, const char* folder, const char* name);

// Position of the last backslash that is a separator (not a trail byte), or
// null when there is none.
const char* FindLastBackslash(const char* text);

// ASCII case-insensitive equality of the first `count` bytes, never reading
// past a terminator of either text. Trail bytes of two-byte characters are
// compared exactly.
bool EqualNoCaseN(const char* a, const char* b, size_t count);

template <size_t N>
inline bool CopyText(char (&dest)[N], const char* source) { return CopyText(dest, N, source); }
template <size_t N>
inline bool AppendText(char (&dest)[N], const char* source) { return AppendText(dest, N, source); }
template <size_t N>
inline bool JoinPath(char (&dest)[N], const char* folder, const char* name)
{
    return JoinPath(dest, N, folder, name);
}
