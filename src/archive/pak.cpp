#include "archive/pak.h"

#include "common/text.h"

#include <cstdlib>
#include <cstring>

static uint32_t ReadLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

const char* PakSearchName(const char* memberPath)
{
    const char* slash = FindLastBackslash(memberPath);
    return slash != nullptr ? slash + 1 : memberPath;
}

bool PakArchiveBeside(char* out, size_t size, const char* memberPath)
{
    const char* name = PakSearchName(memberPath);
    const size_t folderBytes = static_cast<size_t>(name - memberPath);
    if (CopyTextN(out, size, memberPath, folderBytes) &&
        AppendText(out, size, ArchiveFileName))
        return true;
    if (size > 0)
        out[0] = '\0';
    return false;
}

bool PakParseHeader(const uint8_t* header, uint64_t fileSize, PakDirectory* directory)
{
    directory->NameWidth = header[11] == PakLongNameKind ? PakLongNameWidth : PakShortNameWidth;
    directory->Count = ReadLe32(header + 12);
    directory->Bytes = static_cast<uint64_t>(directory->Count) * (directory->NameWidth + 8);
    return fileSize >= PakHeaderSize && directory->Bytes <= fileSize - PakHeaderSize;
}

bool PakFindMember(const uint8_t* tables, const PakDirectory& directory, uint64_t fileSize,
                   const char* searchName, uint32_t* dataOffset, uint32_t* size)
{
    // A name longer than a field can never equal one.
    if (strlen(searchName) >= directory.NameWidth + 1)
        return false;
    const uint8_t* locations = tables + static_cast<uint64_t>(directory.Count) * directory.NameWidth;
    for (uint32_t i = 0; i < directory.Count; ++i) {
        // A field filled to its last byte has no terminator of its own.
        char name[PakLongNameWidth + 1];
        memcpy(name, tables + static_cast<uint64_t>(i) * directory.NameWidth, directory.NameWidth);
        name[directory.NameWidth] = '\0';
        if (!OsNamesEqual(name, searchName))
            continue;
        const uint32_t offset = ReadLe32(locations + static_cast<uint64_t>(i) * 8);
        const uint32_t length = ReadLe32(locations + static_cast<uint64_t>(i) * 8 + 4);
        const uint64_t start = PakHeaderSize + directory.Bytes + offset;
        if (length == 0 || start > fileSize || length > fileSize - start || start > UINT32_MAX)
            return false;
        *dataOffset = static_cast<uint32_t>(start);
        *size = length;
        return true;
    }
    return false;
}

// The file layer, or the bytes in memory that stand in for it.
static bool SourceSize(const PakFile* file, uint64_t* size)
{
    if (file->Memory == nullptr)
        return OsFileSize(file->File, size);
    *size = file->MemorySize;
    return true;
}

static bool SourceRead(PakFile* file, void* buffer, uint32_t count, uint32_t* delivered)
{
    if (file->Memory == nullptr)
        return OsRead(file->File, buffer, count, delivered);
    const uint64_t left = file->MemorySize - file->MemoryPosition;
    const uint32_t take = left < count ? static_cast<uint32_t>(left) : count;
    memcpy(buffer, file->Memory + file->MemoryPosition, take);
    file->MemoryPosition += take;
    *delivered = take;
    return true;
}

static bool SourceSeek(PakFile* file, uint64_t position)
{
    if (file->Memory == nullptr)
        return OsSeek(file->File, position);
    if (position > file->MemorySize)
        return false;
    file->MemoryPosition = position;
    return true;
}

// Finds the member in the open archive and leaves the position on its first
// byte. False when it is not there or the archive is not sound.
static bool LookUpMember(PakFile* file, const char* memberPath)
{
    uint64_t fileSize = 0;
    uint8_t header[PakHeaderSize];
    uint32_t got = 0;
    if (!SourceSize(file, &fileSize) || !SourceRead(file, header, sizeof header, &got) ||
        got != sizeof header)
        return false;
    PakDirectory directory;
    if (!PakParseHeader(header, fileSize, &directory) || directory.Count == 0)
        return false;
    // Fits in the file, so at most 4 GB: a 32-bit read takes it whole.
    if (directory.Bytes > UINT32_MAX)
        return false;
    uint8_t* tables = static_cast<uint8_t*>(calloc(static_cast<size_t>(directory.Bytes), 1));
    if (tables == nullptr)
        return false;
    bool found = false;
    uint32_t offset = 0, size = 0;
    if (SourceRead(file, tables, static_cast<uint32_t>(directory.Bytes), &got) &&
        got == directory.Bytes)
        found = PakFindMember(tables, directory, fileSize, PakSearchName(memberPath), &offset, &size);
    free(tables);
    if (!found || !SourceSeek(file, offset))
        return false;
    file->DataOffset = offset;
    file->Size = size;
    return true;
}

PakFile* PakOpenMember(const char* archive, const char* member)
{
    if (archive == nullptr)
        return nullptr;
    PakFile* file = static_cast<PakFile*>(calloc(1, sizeof(PakFile)));
    if (file == nullptr)
        return nullptr;
    file->File = OsOpenRead(archive);
    if (file->File == nullptr) {
        free(file);
        return nullptr;
    }
    file->InArchive = 1;
    if (!LookUpMember(file, member)) {
        OsClose(file->File);
        free(file);
        return nullptr;
    }
    return file;
}

static PakFile* MemoryFile(const void* data, uint64_t size)
{
    if (data == nullptr && size != 0)
        return nullptr;
    PakFile* file = static_cast<PakFile*>(calloc(1, sizeof(PakFile)));
    if (file == nullptr)
        return nullptr;
    // A distinct pointer for an empty block, so that the memory source is still chosen.
    static const uint8_t Empty = 0;
    file->Memory = data != nullptr ? static_cast<const uint8_t*>(data) : &Empty;
    file->MemorySize = size;
    file->Size = size;
    return file;
}

PakFile* PakOpenMemory(const void* data, uint64_t size)
{
    return MemoryFile(data, size);
}

PakFile* PakOpenMemberInMemory(const void* archive, uint64_t size, const char* member)
{
    PakFile* file = MemoryFile(archive, size);
    if (file == nullptr)
        return nullptr;
    file->InArchive = 1;
    file->Size = 0;
    if (!LookUpMember(file, member)) {
        free(file);
        return nullptr;
    }
    return file;
}

PakFile* PakOpen(const char* member, const char* archive)
{
    OsFile loose = OsOpenRead(member);
    if (loose == nullptr)
        return PakOpenMember(archive, member);
    PakFile* file = static_cast<PakFile*>(calloc(1, sizeof(PakFile)));
    if (file == nullptr) {
        OsClose(loose);
        return nullptr;
    }
    file->File = loose;
    // A loose file keeps its whole size: the file check reads installed
    // files of 4 GB and more piece by piece.
    uint64_t size = 0;
    OsFileSize(loose, &size);
    file->Size = size;
    return file;
}

uint64_t PakGetSize(const PakFile* file)
{
    return file != nullptr ? file->Size : 0;
}

int PakReadPart(PakFile* file, void* buffer, uint32_t position, uint32_t count)
{
    (void)position;
    if (file == nullptr)
        return 0;
    file->Requested = count;
    file->Delivered = 0;
    return SourceRead(file, buffer, count, &file->Delivered) ? 1 : 0;
}

int PakRead(PakFile* file, void* buffer)
{
    if (file == nullptr || file->Size > UINT32_MAX)
        return 0;
    return PakReadPart(file, buffer, 0, static_cast<uint32_t>(file->Size));
}

int PakWaitRead(const PakFile* file)
{
    if (file == nullptr || (file->File == nullptr && file->Memory == nullptr))
        return 0;
    return file->Delivered >= file->Requested ? 1 : 0;
}

void PakClose(PakFile* file)
{
    if (file == nullptr)
        return;
    if (file->Memory == nullptr)
        OsClose(file->File);
    free(file);
}
