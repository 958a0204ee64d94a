#include "render_fixture.h"

#include "image/epa_encode.h"
#include "install/render_clock.h"

#include <cstring>

static uint8_t* PixelBytes(std::vector<uint8_t>& pixels, int32_t width, int32_t height, int32_t x,
                           int32_t y)
{
    return &pixels[(static_cast<size_t>(height - 1 - y) * width + x) * 4];
}

void Picture::Set(int32_t x, int32_t y, uint32_t argb)
{
    uint8_t* p = PixelBytes(Pixels, Width, Height, x, y);
    p[0] = argb & 0xFF;
    p[1] = (argb >> 8) & 0xFF;
    p[2] = (argb >> 16) & 0xFF;
    p[3] = argb >> 24;
}

uint32_t Picture::Get(int32_t x, int32_t y) const
{
    const uint8_t* p = &Pixels[(static_cast<size_t>(Height - 1 - y) * Width + x) * 4];
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

Picture SolidPicture(int32_t width, int32_t height, uint32_t argb)
{
    Picture p;
    p.Width = width;
    p.Height = height;
    p.Pixels.resize(static_cast<size_t>(width) * height * 4);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            p.Set(x, y, argb);
    return p;
}

Picture BandedPicture(int32_t width, int32_t cellHeight, const std::vector<uint32_t>& colours)
{
    Picture p = SolidPicture(width, cellHeight * static_cast<int32_t>(colours.size()), 0);
    for (int32_t y = 0; y < p.Height; ++y)
        for (int32_t x = 0; x < width; ++x)
            p.Set(x, y, colours[y / cellHeight]);
    return p;
}

void WritePicture(const std::string& name, const Picture& picture)
{
    std::vector<uint8_t> file;
    std::string error;
    ASSERT_TRUE(EncodeEpa(picture.Pixels.data(), picture.Width, picture.Height, 32, &file, &error))
        << error;
    WriteBytes(name, file);
}

uint32_t SurfacePixel(const Surface* surface, int32_t x, int32_t y)
{
    const uint8_t* p =
        surface->Bits + (static_cast<size_t>(surface->Height - 1 - y) * surface->Width + x) * 4;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

std::vector<Rect> ListedRects(const DirtyRectList* list)
{
    std::vector<Rect> rects;
    for (int i = 0; i < DirtyRectSlots && list->Slots[i]->InUse; ++i) {
        const DirtyRect* d = list->Slots[i];
        rects.push_back(Rect{d->left, d->top, d->right, d->bottom});
    }
    return rects;
}

bool SameRect(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void ClearScreenElements()
{
    ReleaseElementImages();
    memset(SetupScript.ScreenElements, 0, sizeof SetupScript.ScreenElements);
}

void RenderTest::SetUp()
{
    MmxAvailable = 0;  // the exact kernel: opaque pixels land unchanged
    ClearScreenElements();
    SetClock(5000);
    MakeSurface(320, 240);
    List = AllocDirtyRectList();
}

void RenderTest::TearDown()
{
    ClearScreenElements();
    FreeSurface(Screen);
    FreeDirtyRectList(List);
    ReleaseRenderClock();
}

void RenderTest::MakeSurface(int32_t width, int32_t height)
{
    FreeSurface(Screen);
    Screen = CreateMemorySurface(width, height);
    ASSERT_NE(Screen, nullptr);
}

ScreenElement& RenderTest::Add(int32_t kind, const char* picture)
{
    for (ScreenElement& e : SetupScript.ScreenElements) {
        if (e.Kind == KindFree) {
            e.Kind = kind;
            strncpy(e.ImageFile, picture, TextWidth - 1);
            return e;
        }
    }
    ADD_FAILURE() << "element table full";
    return SetupScript.ScreenElements[MaxScreenElements - 1];
}

void RenderTest::SetClock(uint32_t ms)
{
    Clock = ms;
    SetRenderClock(ms);
}
