#include "image/blend.h"
#include "image/surface.h"

#include <algorithm>
#include <cstddef>

int DrawImagePart(Surface* surface, const uint8_t* pixels, int32_t x, int32_t y, int32_t width,
                  int32_t height, int32_t sourceStride, int inView)
{
    if (surface == nullptr || surface->Bits == nullptr || pixels == nullptr || width <= 0 ||
        height <= 0 || sourceStride < width)
        return 1;
    // 64-bit throughout: a position near the 32-bit limit plus a width must
    // not wrap round into the surface.
    int64_t left = x, top = y;
    int64_t clipLeft = 0, clipTop = 0, clipRight = surface->Width, clipBottom = surface->Height;
    if (inView) {
        left += surface->View.left;
        top += surface->View.top;
        // A view that reaches beyond the surface (a panel larger than the
        // screen, centred) still never lets a write leave the pixels.
        clipLeft = std::max<int64_t>(clipLeft, surface->View.left);
        clipTop = std::max<int64_t>(clipTop, surface->View.top);
        clipRight = std::min<int64_t>(clipRight, surface->View.right);
        clipBottom = std::min<int64_t>(clipBottom, surface->View.bottom);
    }
    const int64_t skipColumns = std::max<int64_t>(0, clipLeft - left);
    const int64_t skipRows = std::max<int64_t>(0, clipTop - top);
    const int64_t visibleWidth = std::min(left + width, clipRight) - std::max(left, clipLeft);
    const int64_t visibleHeight = std::min(top + height, clipBottom) - std::max(top, clipTop);
    if (visibleWidth <= 0 || visibleHeight <= 0)
        return 1;

    void (*kernel)(uint8_t*, const uint8_t*, int32_t) = MmxAvailable ? BlendRowPacked : BlendRowExact;
    const int64_t destLeft = std::max(left, clipLeft);
    const int64_t destTop = std::max(top, clipTop);
    const ptrdiff_t sourceRowBytes = static_cast<ptrdiff_t>(sourceStride) * 4;
    const ptrdiff_t destRowBytes = static_cast<ptrdiff_t>(surface->Width) * 4;
    // Rows are bottom-up on both sides, so the lowest visible row comes
    // first in memory. Rows are independent; walking them upwards keeps
    // every access ascending, which the prefetcher rewards (about twice
    // the speed of the downward walk on a full-screen picture).
    const int64_t lastRow = skipRows + visibleHeight - 1;
    const uint8_t* source =
        pixels + static_cast<ptrdiff_t>(height - 1 - lastRow) * sourceRowBytes + skipColumns * 4;
    uint8_t* dest = surface->Bits +
                    static_cast<ptrdiff_t>(surface->Height - 1 - (destTop + visibleHeight - 1)) * destRowBytes +
                    destLeft * 4;
    for (int64_t row = 0; row < visibleHeight; ++row) {
        kernel(dest, source, static_cast<int32_t>(visibleWidth));
        source += sourceRowBytes;
        dest += destRowBytes;
    }
    return 1;
}

int DrawImage(Surface* surface, const uint8_t* pixels, int32_t x, int32_t y, int32_t width,
              int32_t height, int inView)
{
    return DrawImagePart(surface, pixels, x, y, width, height, width, inView);
}
