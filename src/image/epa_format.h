// What the EPA decoder and encoder share about the stream.
#pragma once

#include "image/epa.h"

#include <cstdint>

// Where the stream starts: after the palette for 8-bit pictures.
constexpr size_t EpaPaletteStreamOffset = EpaHeaderSize + EpaPaletteSize;  // 784

// The back-reference distance of each high nibble of a control byte, for
// planes `width` bytes wide (index 0 is the literal run and has none).
// 64-bit: four rows of the widest planes do not fit 32 bits. Narrow planes
// give distances of zero or less: the encoder never uses them, the decoder
// copies them as a byte-by-byte copy would.
inline void EpaDistanceTable(uint32_t width, int64_t table[16])
{
    const int64_t w = width;
    const int64_t values[16] = {0,         1,     w,         w + 1,     2,         w - 1, 2 * w, 3,
                                2 * w + 2, w + 2, 2 * w + 1, 2 * w - 1, 2 * w - 2, w - 2, 3 * w, 4};
    for (int i = 0; i < 16; ++i)
        table[i] = values[i];
}
