// Pictures the preview composes: 4 bytes per pixel (blue, green, red,
// alpha), rows bottom-up like the program's surfaces and pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Canvas {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Pixels;
};

Canvas MakeCanvas(int32_t width, int32_t height, uint32_t rgb);
// Copies `source` with its top-left corner at (x, y), made opaque: the
// fourth byte of a surface is never shown.
void PasteOpaque(Canvas* canvas, const Canvas& source, int32_t x, int32_t y);
void FillRect(Canvas* canvas, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t rgb);

// Text in a 5 x 7 pixel font, each font pixel `scale` x `scale`, letters
// upper-cased; characters outside the font show as '?'. Returns the width.
int32_t DrawLabel(Canvas* canvas, int32_t x, int32_t y, const std::string& text, int32_t scale,
                  uint32_t rgb);
int32_t LabelWidth(const std::string& text, int32_t scale);
constexpr int32_t LabelGlyphHeight = 7;
