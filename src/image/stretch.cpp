#include "image/surface.h"

#include <cstddef>
#include <cstring>

// Nearest neighbour, sampling each destination pixel's centre: no GDI
// needed, the same result on every target, and the host can test it.
int StretchPixelsToSurface(Surface* surface, const uint8_t* pixels, int32_t width, int32_t height)
{
    if (surface == nullptr || surface->Bits == nullptr || pixels == nullptr || width <= 0 ||
        height <= 0 || surface->Width <= 0 || surface->Height <= 0)
        return 0;
    const int64_t destWidth = surface->Width, destHeight = surface->Height;
    for (int64_t y = 0; y < destHeight; ++y) {
        // Sampled in picture rows (0 at the top), addressed in bottom-up memory.
        const int64_t sourceY = (2 * y + 1) * height / (2 * destHeight);
        const uint8_t* sourceRow = pixels + static_cast<ptrdiff_t>(height - 1 - sourceY) * width * 4;
        uint8_t* destRow = surface->Bits + static_cast<ptrdiff_t>(destHeight - 1 - y) * destWidth * 4;
        for (int64_t x = 0; x < destWidth; ++x) {
            const int64_t sourceX = (2 * x + 1) * width / (2 * destWidth);
            memcpy(destRow + x * 4, sourceRow + sourceX * 4, 4);
        }
    }
    return 1;
}
