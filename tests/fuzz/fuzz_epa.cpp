// Arbitrary bytes as a picture file, down the path LoadEpaImage takes after
// reading a member: header, stream expansion, plane conversion, or the
// bitmap fallback. Nothing may be read or written outside a buffer.
#include "image/epa.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Headers may announce any size; beyond this the decoder's work is only
// memory traffic, and the run would measure the allocator.
constexpr uint64_t MaxFuzzPixels = uint64_t{1} << 16;

void CheckWholeFile(const uint8_t* data, size_t size)
{
    EpaInfo info;
    if (ParseEpaHeader(data, size, &info) == EpaOk &&
        static_cast<uint64_t>(info.Width) * info.Height > MaxFuzzPixels)
        return;
    int32_t width = -1, height = -1;
    uint8_t* picture = DecodeImageFile(data, size, &width, &height);
    if (picture != nullptr) {
        if (width < 0 || height < 0)
            abort();
        // Touch every byte, so that a buffer shorter than its size is caught.
        const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
        volatile uint8_t sum = 0;
        for (size_t i = 0; i < bytes; ++i)
            sum = static_cast<uint8_t>(sum + picture[i]);
        free(picture);
    }
}

// The expander alone into a buffer of exactly its size, with a width taken
// from the input, so that narrow planes (distances of zero or less) and
// every overshoot are reached.
void CheckExpand(const uint8_t* data, size_t size)
{
    if (size < 2)
        return;
    const uint32_t width = data[0] % 64;
    const uint32_t rows = data[1] % 64;
    const size_t total = static_cast<size_t>(width) * rows;
    uint8_t* planes = static_cast<uint8_t*>(malloc(total != 0 ? total : 1));
    const size_t produced = EpaExpand(data + 2, size - 2, planes, width, rows);
    if (produced > total)
        abort();
    free(planes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy: a read one byte beyond the file is caught too.
    uint8_t* file = static_cast<uint8_t*>(malloc(size != 0 ? size : 1));
    if (size != 0)
        memcpy(file, data, size);
    CheckWholeFile(file, size);
    CheckExpand(file, size);
    free(file);
    return 0;
}
