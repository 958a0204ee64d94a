// Arbitrary bytes as an archive: the header and directory parsing must never
// read outside the directory, and a member it reports must lie in the file.
#include "archive/pak.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

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

    // The same through the file layer, as the program opens it.
    static std::string path = "/tmp/fuzz_pak_" + std::to_string(getpid()) + ".pak";
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr)
        return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    PakFile* file = PakOpen("no-such-loose-file\\TITLE.EPA", path.c_str());
    if (file != nullptr) {
        uint8_t* buffer = static_cast<uint8_t*>(malloc(PakGetSize(file) + 1));
        PakRead(file, buffer);
        if (!PakWaitRead(file))
            abort();
        free(buffer);
        PakClose(file);
    }
    return 0;
}
