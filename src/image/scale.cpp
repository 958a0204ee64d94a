#include "image/scale.h"

#include <cstdlib>
#include <cstring>

int32_t ScaleForDpi(int32_t value, unsigned dpi)
{
    if (dpi == 0)
        dpi = BaseDpi;
    const int64_t scaled = (static_cast<int64_t>(value) * dpi * 2 + BaseDpi) / (2 * BaseDpi);
    return scaled > INT32_MAX ? INT32_MAX : static_cast<int32_t>(scaled);
}

namespace {

// One line of `count` source samples (`stride` bytes apart, 4 channels)
// onto `destCount` samples. Source sample i covers [i * destCount,
// (i + 1) * destCount) and destination sample d covers [d * count,
// (d + 1) * count) on a common axis, so the overlaps are whole numbers and
// each destination sample's weights add up to `count`.
void ScaleLine(const uint8_t* source, int32_t count, size_t sourceStride, uint8_t* dest,
               int32_t destCount, size_t destStride)
{
    for (int32_t d = 0; d < destCount; ++d) {
        const int64_t start = static_cast<int64_t>(d) * count;
        const int64_t end = start + count;
        uint64_t sum[4] = {0, 0, 0, 0};
        for (int64_t i = start / destCount; i * destCount < end && i < count; ++i) {
            const int64_t from = i * destCount > start ? i * destCount : start;
            const int64_t to = (i + 1) * destCount < end ? (i + 1) * destCount : end;
            const uint8_t* pixel = source + static_cast<size_t>(i) * sourceStride;
            for (int c = 0; c < 4; ++c)
                sum[c] += static_cast<uint64_t>(pixel[c]) * static_cast<uint64_t>(to - from);
        }
        uint8_t* out = dest + static_cast<size_t>(d) * destStride;
        for (int c = 0; c < 4; ++c)
            out[c] = static_cast<uint8_t>((sum[c] + static_cast<uint64_t>(count) / 2) / count);
    }
}

}  // namespace

bool ScalePicture(const uint8_t* source, int32_t sourceWidth, int32_t sourceHeight, uint8_t* dest,
                  int32_t destWidth, int32_t destHeight)
{
    if (source == nullptr || dest == nullptr || sourceWidth <= 0 || sourceHeight <= 0 ||
        destWidth <= 0 || destHeight <= 0)
        return false;
    // Rows first into a picture of the new width, then its columns.
    uint8_t* rows = static_cast<uint8_t*>(
        malloc(static_cast<size_t>(destWidth) * static_cast<size_t>(sourceHeight) * 4));
    if (rows == nullptr)
        return false;
    for (int32_t y = 0; y < sourceHeight; ++y)
        ScaleLine(source + static_cast<size_t>(y) * sourceWidth * 4, sourceWidth, 4,
                  rows + static_cast<size_t>(y) * destWidth * 4, destWidth, 4);
    for (int32_t x = 0; x < destWidth; ++x)
        ScaleLine(rows + static_cast<size_t>(x) * 4, sourceHeight, static_cast<size_t>(destWidth) * 4,
                  dest + static_cast<size_t>(x) * 4, destHeight, static_cast<size_t>(destWidth) * 4);
    free(rows);
    return true;
}

uint8_t* ScalePictureForDpi(const uint8_t* pixels, int32_t width, int32_t height, unsigned dpi,
                            int32_t* scaledWidth, int32_t* scaledHeight)
{
    const int32_t w = ScaleForDpi(width, dpi);
    const int32_t h = ScaleForDpi(height, dpi);
    if (w <= 0 || h <= 0 || w > 32768 || h > 32768)
        return nullptr;
    uint8_t* scaled = static_cast<uint8_t*>(malloc(static_cast<size_t>(w) * h * 4));
    if (scaled == nullptr)
        return nullptr;
    if (!ScalePicture(pixels, width, height, scaled, w, h)) {
        free(scaled);
        return nullptr;
    }
    *scaledWidth = w;
    *scaledHeight = h;
    return scaled;
}

namespace {

unsigned Known(unsigned dpi) { return dpi == 0 ? BaseDpi : dpi; }

int32_t DivideDown(int64_t a, int64_t b) { return static_cast<int32_t>(a >= 0 ? a / b : -((-a + b - 1) / b)); }
int32_t DivideUp(int64_t a, int64_t b) { return -DivideDown(-a, b); }

}  // namespace

int32_t SurfaceSizeForScreen(int32_t screenSize, unsigned dpi)
{
    return DivideUp(static_cast<int64_t>(screenSize) * BaseDpi, Known(dpi));
}

int32_t SurfaceToScreen(int32_t coordinate, unsigned dpi)
{
    return DivideDown(static_cast<int64_t>(coordinate) * Known(dpi), BaseDpi);
}

Rect ScreenRectToSurface(const Rect& screen, unsigned dpi)
{
    const int64_t d = Known(dpi);
    return Rect{DivideDown(static_cast<int64_t>(screen.left) * BaseDpi, d),
                DivideDown(static_cast<int64_t>(screen.top) * BaseDpi, d),
                DivideUp(static_cast<int64_t>(screen.right) * BaseDpi, d),
                DivideUp(static_cast<int64_t>(screen.bottom) * BaseDpi, d)};
}
