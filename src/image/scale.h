// Pictures at the display's scale. A dialog laid out at 144 or 192 DPI is
// 1.5 or 2 times its size at 96, and its pictures must grow with it.
#pragma once

#include "common/geometry.h"

#include <cstdint>

constexpr unsigned BaseDpi = 96;

// `value` (pixels at 96 DPI) at `dpi`, rounded to the nearest pixel. A dpi
// of 0 (not known) counts as 96.
int32_t ScaleForDpi(int32_t value, unsigned dpi);

// Scales a picture (4 bytes a pixel, rows bottom-up) to `destWidth` x
// `destHeight` by area averaging, a box filter: each destination pixel is
// the mean of the source area it covers. An integer factor thus copies each
// pixel exactly, any other comes out smooth, never with the uneven rows and
// columns of a nearest-neighbour stretch. `dest` holds destWidth x
// destHeight x 4 bytes. False for an empty size or without memory.
bool ScalePicture(const uint8_t* source, int32_t sourceWidth, int32_t sourceHeight, uint8_t* dest,
                  int32_t destWidth, int32_t destHeight);

// A malloc'd copy of the picture at `dpi` (sizes scaled by ScaleForDpi), or
// null. The caller frees it.
uint8_t* ScalePictureForDpi(const uint8_t* pixels, int32_t width, int32_t height, unsigned dpi,
                            int32_t* scaledWidth, int32_t* scaledHeight);

// A full-screen show drawn at 96-DPI size and shown at `dpi`: the drawing
// surface's size for a screen of `screenSize` pixels (rounded up, so that
// the show reaches the screen's edge), where a surface coordinate lands on
// the screen (rounded down, so that neighbouring rectangles meet), and the
// surface rectangle that covers a screen rectangle.
int32_t SurfaceSizeForScreen(int32_t screenSize, unsigned dpi);
int32_t SurfaceToScreen(int32_t coordinate, unsigned dpi);
Rect ScreenRectToSurface(const Rect& screen, unsigned dpi);
