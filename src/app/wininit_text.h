// The "[rename]" entries of WININIT.INI that have Windows 95/98 delete a file
// at its next start, where the delayed-move service is missing.
#pragma once

#include <cstddef>

// Bytes that an edit adds to the file at most, besides the path.
constexpr size_t WininitEntryOverhead = 16;

// The text of a new WININIT.INI: the header line and one entry, with no line
// end after the path. The length written, or 0 when it does not fit.
size_t MakeWininitText(const char* path, char* out, size_t outSize);

// The text of an existing WININIT.INI (`length` bytes, NUL bytes kept) with an
// entry for `path` added: as the first line after the first "[rename]"
// header (letters in any case), or at the end when there is no header. The
// length written to `out`, or 0 when it does not fit.
size_t AddWininitEntry(const char* text, size_t length, const char* path, char* out,
                       size_t outSize);
