// Memory surfaces as the GDI side sees them: FreeSurface hands it every
// surface without a bitmap.
#pragma once

#include "image/surface.h"

#include <cstddef>

// Frees the pixels and the record of a surface made by CreateMemorySurface.
void ReleaseMemorySurface(Surface* surface);

// Width x height x 4 as a byte count; false when either is not positive or
// the count does not fit in memory.
bool SurfaceByteCount(int32_t width, int32_t height, size_t* bytes);
