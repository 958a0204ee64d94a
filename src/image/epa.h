// EPA pictures: an LZ-style stream of byte planes with an 8-bit palette,
// 24-bit or 32-bit (alpha) colour. Decoded pictures are width x height
// pixels of 4 bytes (blue, green, red, alpha), rows bottom-up, no padding.
#pragma once

#include <cstddef>
#include <cstdint>

struct EpaInfo {
    uint32_t Width;
    uint32_t Height;
    uint32_t BitsPerPixel;      // 8, 24 or 32
    uint32_t ColourCount;       // 8-bit only (0 in the header means 256); else 0
    uint32_t ImportantColours;  // likewise
};

// Result codes of ParseEpaHeader and DecodeEpaPixels.
constexpr int EpaOk = 0;
constexpr int EpaBadSignature = -1;
constexpr int EpaBadVersion = -2;
constexpr int EpaUnsupported = -3;
constexpr int EpaNoMemory = -4;

constexpr size_t EpaHeaderSize = 16;
constexpr size_t EpaPaletteSize = 768;

// Loads a picture by its path: the loose file first, else the member of its
// name in the Instdata.pak of the path's folder. Returns a malloc'd pixel buffer the caller
// frees with free(), or null. The outputs (either may be null) receive the
// picture's size.
uint8_t* LoadEpaImage(const char* member, int32_t* width, int32_t* height);

// Decodes the bytes of a whole file as LoadEpaImage does after reading it.
// Null when the bytes are no picture.
uint8_t* DecodeImageFile(const uint8_t* bytes, size_t size, int32_t* width, int32_t* height);

int ParseEpaHeader(const uint8_t* bytes, size_t size, EpaInfo* info);
// `out` holds Width x Height x 4 bytes.
int DecodeEpaPixels(const uint8_t* bytes, size_t size, uint8_t* out);
// Expands width x rows bytes of planes from the stream; stops early (leaving
// the rest as it was) on a malformed or short stream. Returns the bytes produced.
size_t EpaExpand(const uint8_t* stream, size_t streamSize, uint8_t* planes, uint32_t width,
                 uint32_t rows);
