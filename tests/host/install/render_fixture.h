// A screen element table, a memory surface and pictures in a temporary
// current folder, for driving the install screen renderer frame by frame.
#pragma once

#include "image/surface.h"
#include "install/render.h"
#include "script/setup_model.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t Opaque(uint32_t rgb) { return 0xFF000000u | rgb; }

// BGRA bytes, bottom-up rows, as pictures are decoded.
struct Picture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Pixels;
    // Row y counted from the picture's top.
    void Set(int32_t x, int32_t y, uint32_t argb);
    uint32_t Get(int32_t x, int32_t y) const;
};

Picture SolidPicture(int32_t width, int32_t height, uint32_t argb);
// Bands of `cellHeight` rows from the top, each of its own colour.
Picture BandedPicture(int32_t width, int32_t cellHeight, const std::vector<uint32_t>& colours);
// Writes the picture as an EPA file in the current folder.
void WritePicture(const std::string& name, const Picture& picture);

// Colour of surface pixel (x, y), 0 at the top, with the fourth byte.
uint32_t SurfacePixel(const Surface* surface, int32_t x, int32_t y);
std::vector<Rect> ListedRects(const DirtyRectList* list);
bool SameRect(const Rect& a, const Rect& b);

// Clears the element table (and frees what the renderer kept).
void ClearScreenElements();

class RenderTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void MakeSurface(int32_t width, int32_t height);
    // The next free slot, with Kind and ImageFile set.
    ScreenElement& Add(int32_t kind, const char* picture);
    int Frame(int phase, int progress) { return RenderInstallFrame(phase, progress, Screen, List); }
    int Tick(int progress) { return Frame(RenderPhaseTick, progress); }
    void SetClock(uint32_t ms);
    void AdvanceClock(uint32_t ms) { SetClock(Clock + ms); }
    uint32_t Pixel(int32_t x, int32_t y) const { return SurfacePixel(Screen, x, y) | 0xFF000000u; }
    std::vector<Rect> Rects() const { return ListedRects(List); }

    TempDir Dir;
    ScopedCurrentDir InDir{Dir.Path};
    Surface* Screen = nullptr;
    DirtyRectList* List = nullptr;
    uint32_t Clock = 0;
};
