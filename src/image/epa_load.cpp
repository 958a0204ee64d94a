#include "image/epa.h"

#include "archive/pak.h"

#include <cstdlib>

uint8_t* LoadEpaImage(const char* member, int32_t* width, int32_t* height)
{
    if (member == nullptr)
        return nullptr;
    char archive[260];
    PakFile* file = PakArchiveBeside(archive, sizeof archive, member) ? PakOpen(member, archive)
                                                                     : nullptr;
    if (file == nullptr)
        return nullptr;
    const uint32_t size = PakGetSize(file);
    uint8_t* bytes = static_cast<uint8_t*>(malloc(size != 0 ? size : 1));
    // A read that comes back short is a damaged archive, not a picture.
    const bool read = bytes != nullptr && PakRead(file, bytes) && file->Delivered == size;
    PakClose(file);
    uint8_t* picture = read ? DecodeImageFile(bytes, size, width, height) : nullptr;
    free(bytes);
    return picture;
}
