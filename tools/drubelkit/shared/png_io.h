// PNG files through libpng on Linux and Windows' imaging component (WIC) on
// Windows, both to the same pixels, in the layout of the program's pictures:
// 4 bytes per pixel (blue, green, red, alpha), rows bottom-up (the first row
// in memory is the picture's bottom row), no padding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads any PNG (palette, grey, with or without alpha, 8 or 16 bits per
// channel; 16-bit channels keep their high byte; no gamma conversion).
// False with a reason when the bytes are not a sound PNG.
bool ReadPng(const std::vector<uint8_t>& file, uint32_t* width, uint32_t* height,
             std::vector<uint8_t>* pixels, std::string* error);

// Writes width x height pixels as an 8-bit PNG at the library's default
// compression: RGB when every alpha is 255, else RGBA.
bool WritePng(uint32_t width, uint32_t height, const uint8_t* pixels, std::vector<uint8_t>* file,
              std::string* error);
