// Arbitrary bytes as an archive: the header and directory parsing must never
// read outside the directory, and a member it reports must lie in the file.
#include "archive/pak.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

static void CheckLookup(const uint8_t* data, size_t size, const char* name)
{
    if (size < PakHeaderSize)
        return;
    PakDirectory directory;
    if (!PakParseHeader(data, size, &directory))
        return;
    // Copy the tables into a buffer of exactly their size, so that a read
    // beyond them is caught.
    uint8_t* tables = static_cast<uint8_t*>(malloc(directory.Bytes ? directory.Bytes : 1));
    memcpy(tables, data + PakHeaderSize, directory.Bytes);
    uint32_t offset = 0, length = 0;
    if (PakFindMember(tables, directory, size, name, &offset, &length)) {
        if (length == 0 || static_cast<uint64_t>(offset) + length > size)
            abort();
    }
    free(tables);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckLookup(data, size, "TITLE.EPA");
    CheckLookup(data, size, "Drubel.ini");
    if (size > 20) {
        // A name taken from the input, so that matches happen.
        char name[40] = {};
        memcpy(name, data + size - 20, 20);
        CheckLookup(data, size, name);
    }

    // The same through the archive reader, as the program opens a member,
    // with the input as the archive's bytes.
    PakFile* file = PakOpenMemberInMemory(data, size, "no-such-loose-file\\TITLE.EPA");
    if (file != nullptr) {
        if (PakGetSize(file) == 0 || file->DataOffset + PakGetSize(file) > size)
            abort();
        uint8_t* buffer = static_cast<uint8_t*>(malloc(PakGetSize(file) + 1));
        PakRead(file, buffer);
        if (!PakWaitRead(file))
            abort();
        free(buffer);
        PakClose(file);
    }
    return 0;
}
