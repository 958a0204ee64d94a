#include "image/surface_memory.h"

#include <cstdint>
#include <cstdlib>

bool SurfaceByteCount(int32_t width, int32_t height, size_t* bytes)
{
    if (width <= 0 || height <= 0)
        return false;
    const uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4u;
    if (count > SIZE_MAX / 2)
        return false;
    *bytes = static_cast<size_t>(count);
    return true;
}

Surface* CreateMemorySurface(int32_t width, int32_t height)
{
    size_t bytes = 0;
    if (!SurfaceByteCount(width, height, &bytes))
        return nullptr;
    Surface* surface = static_cast<Surface*>(calloc(1, sizeof(Surface)));
    if (surface == nullptr)
        return nullptr;
    surface->Bits = static_cast<uint8_t*>(calloc(bytes, 1));
    if (surface->Bits == nullptr) {
        free(surface);
        return nullptr;
    }
    surface->Width = width;
    surface->Height = height;
    surface->View = Rect{0, 0, width, height};
    return surface;
}

void ReleaseMemorySurface(Surface* surface)
{
    if (surface == nullptr)
        return;
    free(surface->Bits);
    free(surface);
}
