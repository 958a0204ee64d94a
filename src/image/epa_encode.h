// Writing EPA pictures: what the publisher's tool uses, and what the tests
// round-trip through the decoder. Not used by the launcher itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// `bits` for EncodeEpa: 0 lets the picture decide (ChooseEpaBits).
constexpr uint32_t EpaBitsAuto = 0;

// 32 when any alpha is below 255; else 8 when the picture has at most 256
// colours; else 24. `pixels` as decoded pictures are: BGRA, rows bottom-up.
uint32_t ChooseEpaBits(const uint8_t* pixels, uint32_t width, uint32_t height);

// The whole file for a picture (BGRA, bottom-up) as an EPA of `bits` 8, 24,
// 32 or EpaBitsAuto. The file decodes to exactly these pixels; false (and a
// reason) when the kind cannot hold them: transparency in 8 or 24 bits,
// more than 256 colours in 8 bits, or a picture too large.
bool EncodeEpa(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bits,
               std::vector<uint8_t>* file, std::string* error);

// The compressed stream for `total` bytes of planes of `width`-byte rows:
// the smallest stream the format's tokens allow for these fifteen
// distances (an optimal parse). Appends to `stream`. `total` is below 2^31.
void EpaCompress(const uint8_t* planes, size_t total, uint32_t width, std::vector<uint8_t>* stream);
