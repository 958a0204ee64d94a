#include "image/surface.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// The rectangle clipped to the surface; false when nothing of it is left.
bool ClipToSurface(const Surface* surface, const Rect* rect, Rect* clipped)
{
    if (surface == nullptr || surface->Bits == nullptr || rect == nullptr)
        return false;
    clipped->left = std::max<int32_t>(rect->left, 0);
    clipped->top = std::max<int32_t>(rect->top, 0);
    clipped->right = std::min<int32_t>(rect->right, surface->Width);
    clipped->bottom = std::min<int32_t>(rect->bottom, surface->Height);
    return clipped->right - clipped->left >= 1 && clipped->bottom - clipped->top >= 1;
}

// Surface row `y` (0 at the top) at column `x`.
uint8_t* PixelAt(const Surface* surface, int32_t x, int32_t y)
{
    return surface->Bits + static_cast<ptrdiff_t>(surface->Height - 1 - y) * surface->Width * 4 +
           static_cast<ptrdiff_t>(x) * 4;
}

}  // namespace

int CopyRectFromSurface(const Surface* surface, uint8_t* buffer, const Rect* rect)
{
    Rect r;
    if (buffer == nullptr || !ClipToSurface(surface, rect, &r))
        return 0;
    const size_t rowBytes = static_cast<size_t>(r.right - r.left) * 4;
    for (int32_t y = r.top; y < r.bottom; ++y, buffer += rowBytes)
        memcpy(buffer, PixelAt(surface, r.left, y), rowBytes);
    return 1;
}

int CopyRectToSurface(Surface* surface, const uint8_t* buffer, const Rect* rect)
{
    Rect r;
    if (buffer == nullptr || !ClipToSurface(surface, rect, &r))
        return 0;
    const size_t rowBytes = static_cast<size_t>(r.right - r.left) * 4;
    for (int32_t y = r.top; y < r.bottom; ++y, buffer += rowBytes)
        memcpy(PixelAt(surface, r.left, y), buffer, rowBytes);
    return 1;
}

void OffsetRectToView(const Surface* surface, Rect* rect)
{
    if (surface == nullptr || rect == nullptr)
        return;
    rect->left += surface->View.left;
    rect->right += surface->View.left;
    rect->top += surface->View.top;
    rect->bottom += surface->View.top;
}
