// Reading files that are either loose or members of a PAK archive
// ("Instdata.pak").
#pragma once

#include "archive/osfile.h"

#include <cstddef>
#include <cstdint>

// The archive of the setup data beside the program.
constexpr const char ArchiveFileName[] = "Instdata.pak";

struct PakFile {
    uint32_t InArchive;   // 0: a loose file; 1: a member of an archive
    OsFile File;          // owned; open for reading
    uint64_t Size;        // loose file size (4 GB and more too), or the member's data size
    uint32_t Requested;   // bytes asked for by the last read
    uint32_t Delivered;   // bytes the last read delivered
    uint32_t DataOffset;  // absolute position of the member's first byte (0 when loose)
    // Bytes held in memory stand in for the file when set: File is then null.
    // The reads, the size and the directory lookup go through the same code.
    const uint8_t* Memory;
    uint64_t MemorySize;
    uint64_t MemoryPosition;
};

// The loose file `member` (a path) when it exists, else the member of its
// name (the part after the last backslash) in `archive` (which may be null:
// loose file only).
// Null when neither opens.
PakFile* PakOpen(const char* member, const char* archive);
// Only the archive member, never a loose file: what the authoring tool uses
// to look inside an archive. PakOpen falls back to it.
PakFile* PakOpenMember(const char* archive, const char* member);
// The same two over bytes in memory, which the caller keeps alive until
// PakClose: a loose file of `size` bytes, or the member of an archive image.
PakFile* PakOpenMemory(const void* data, uint64_t size);
PakFile* PakOpenMemberInMemory(const void* archive, uint64_t size, const char* member);
uint64_t PakGetSize(const PakFile* file);
// Reads `Size` bytes from the current position in one read. 1 when the
// system read succeeded; 0 for a file of 4 GB or more, which no single
// read (nor the buffer of a whole-file reader) holds.
int PakRead(PakFile* file, void* buffer);
// Reads `count` bytes where the previous read stopped; `position` is not used.
int PakReadPart(PakFile* file, void* buffer, uint32_t position, uint32_t count);
// 1 when the last read delivered every byte it asked for; 0 for a null or
// closed record, and for a short read (a truncated file never catches up).
int PakWaitRead(const PakFile* file);
void PakClose(PakFile* file);

// The directory of an archive as its header describes it. Separate from the
// file handling so that the parsing can be checked on any bytes.
constexpr uint32_t PakHeaderSize = 16;
constexpr uint32_t PakLongNameWidth = 32;
constexpr uint32_t PakShortNameWidth = 16;
constexpr uint8_t PakLongNameKind = '2';

struct PakDirectory {
    uint32_t Count;      // members
    uint32_t NameWidth;  // 32 (long names) or 16 (short names)
    uint64_t Bytes;      // size of the name and location tables together
};

// Reads the header. False when the directory it announces does not fit in a
// file of `fileSize` bytes.
bool PakParseHeader(const uint8_t* header, uint64_t fileSize, PakDirectory* directory);

// Looks `searchName` up in the directory bytes (name table, then location
// table). The first name equal to it, ignoring case, wins. False when it is
// missing, when its size is 0, or when its data does not lie inside a file of
// `fileSize` bytes.
bool PakFindMember(const uint8_t* tables, const PakDirectory& directory, uint64_t fileSize,
                   const char* searchName, uint32_t* dataOffset, uint32_t* size);

// The part of a member path after its last backslash: the name the archive holds.
const char* PakSearchName(const char* memberPath);

// The archive that holds the member at `memberPath`: Instdata.pak in the
// member path's folder (for a bare name, Instdata.pak alone). False, with an
// empty text, when it does not fit.
bool PakArchiveBeside(char* out, size_t size, const char* memberPath);
