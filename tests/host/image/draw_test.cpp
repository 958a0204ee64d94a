#include "image/surface.h"

#include "image_test_util.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct SurfaceDeleter {
    void operator()(Surface* s) const { FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<Surface, SurfaceDeleter>;

SurfacePtr MakeSurface(int32_t w, int32_t h, uint8_t fill = 0x11)
{
    SurfacePtr s(CreateMemorySurface(w, h));
    if (s)
        memset(s->Bits, fill, static_cast<size_t>(w) * h * 4);
    return s;
}

// Pixel at surface column x, row y (0 at the top).
const uint8_t* At(const Surface* s, int32_t x, int32_t y)
{
    return s->Bits + (static_cast<size_t>(s->Height - 1 - y) * s->Width + x) * 4;
}

// An opaque picture whose pixel at picture column x, row y (0 at the top)
// has blue x, green y.
std::vector<uint8_t> Labelled(int32_t w, int32_t h)
{
    std::vector<uint8_t> p(static_cast<size_t>(w) * h * 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* q = &p[(static_cast<size_t>(h - 1 - y) * w + x) * 4];
            q[0] = static_cast<uint8_t>(x);
            q[1] = static_cast<uint8_t>(y);
            q[2] = 200;
            q[3] = 255;
        }
    return p;
}

// Counts the surface pixels that are no longer the fill value.
int Touched(const Surface* s, uint8_t fill = 0x11)
{
    int n = 0;
    for (int32_t i = 0; i < s->Width * s->Height; ++i)
        n += s->Bits[i * 4] != fill || s->Bits[i * 4 + 2] != fill;
    return n;
}

TEST(MemorySurface, CreateAndRefuse)
{
    SurfacePtr s(CreateMemorySurface(30, 20));
    ASSERT_TRUE(s);
    EXPECT_EQ(30, s->Width);
    EXPECT_EQ(20, s->Height);
    EXPECT_EQ(0, s->View.left);
    EXPECT_EQ(30, s->View.right);
    EXPECT_EQ(20, s->View.bottom);
    EXPECT_EQ(nullptr, s->Bitmap);
    EXPECT_EQ(nullptr, s->MemDC);
    EXPECT_EQ(0, s->Bits[30 * 20 * 4 - 1]);
    EXPECT_EQ(nullptr, CreateMemorySurface(0, 5));
    EXPECT_EQ(nullptr, CreateMemorySurface(5, -1));
    FreeSurface(nullptr);
}

TEST(DrawImage, NegativePositionShowsTheBottomRightQuarter)
{
    for (int mmx = 0; mmx < 2; ++mmx) {
        MmxAvailable = mmx;
        SurfacePtr s = MakeSurface(20, 20);
        const std::vector<uint8_t> pic = Labelled(10, 10);
        EXPECT_EQ(1, DrawImage(s.get(), pic.data(), -5, -5, 10, 10, 0));
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 5; ++x) {
                EXPECT_EQ(x + 5, At(s.get(), x, y)[0]);
                EXPECT_EQ(y + 5, At(s.get(), x, y)[1]);
                EXPECT_EQ(0, At(s.get(), x, y)[3]);
            }
        EXPECT_EQ(25, Touched(s.get()));
    }
    MmxAvailable = 0;
}

TEST(DrawImage, InViewPositionsAndClipsToTheView)
{
    SurfacePtr s = MakeSurface(800, 600);
    s->View = Rect{100, 50, 740, 530};
    const std::vector<uint8_t> pic = Labelled(700, 600);
    EXPECT_EQ(1, DrawImage(s.get(), pic.data(), 0, 0, 700, 600, 1));
    EXPECT_EQ(0, At(s.get(), 100, 50)[0]);
    EXPECT_EQ(0, At(s.get(), 100, 50)[1]);
    EXPECT_EQ(200, At(s.get(), 100, 50)[2]);
    EXPECT_EQ(639 & 0xFF, At(s.get(), 739, 529)[0]);
    EXPECT_EQ(0x11, At(s.get(), 740, 100)[2]);
    EXPECT_EQ(0x11, At(s.get(), 99, 100)[2]);
    EXPECT_EQ(0x11, At(s.get(), 200, 530)[2]);
    EXPECT_EQ(640 * 480, Touched(s.get()));
    // Negative in-view positions clip at the view's edge, not the surface's.
    SurfacePtr t = MakeSurface(800, 600);
    t->View = Rect{100, 50, 740, 530};
    DrawImage(t.get(), pic.data(), -10, -20, 700, 600, 1);
    EXPECT_EQ(10, At(t.get(), 100, 50)[0]);
    EXPECT_EQ(20, At(t.get(), 100, 50)[1]);
    EXPECT_EQ(0x11, At(t.get(), 99, 49)[2]);
}

TEST(DrawImage, AViewLargerThanTheSurfaceNeverWritesOutsideIt)
{
    SurfacePtr s = MakeSurface(64, 48);
    // A 640 x 480 panel centred on a smaller surface.
    s->View = Rect{-288, -216, 352, 264};
    const std::vector<uint8_t> pic = Labelled(640, 480);
    EXPECT_EQ(1, DrawImage(s.get(), pic.data(), 0, 0, 640, 480, 1));
    EXPECT_EQ(288 & 0xFF, At(s.get(), 0, 0)[0]);
    EXPECT_EQ(216, At(s.get(), 0, 0)[1]);
    EXPECT_EQ(64 * 48, Touched(s.get()));
}

TEST(DrawImage, ClippedAwayOrEmptyDrawsNothingAndReportsOne)
{
    SurfacePtr s = MakeSurface(10, 10);
    const std::vector<uint8_t> pic = Labelled(4, 4);
    EXPECT_EQ(1, DrawImage(s.get(), pic.data(), 10, 0, 4, 4, 0));
    EXPECT_EQ(1, DrawImage(s.get(), pic.data(), -4, 0, 4, 4, 0));
    EXPECT_EQ(1, DrawImage(s.get(), pic.data(), 0, 10, 4, 4, 0));
    EXPECT_EQ(1, DrawImage(s.get(), pic.data(), 0, 0, 0, 4, 0));
    EXPECT_EQ(1, DrawImage(s.get(), pic.data(), INT32_MAX - 1, INT32_MAX - 1, 4, 4, 0));
    EXPECT_EQ(1, DrawImage(s.get(), pic.data(), INT32_MIN + 1, 0, 4, 4, 0));
    EXPECT_EQ(0, Touched(s.get()));
}

TEST(DrawImagePart, TakesTheBottomRowsOfAWiderPicture)
{
    SurfacePtr s = MakeSurface(10, 10);
    // A 6 x 8 picture; the part is 3 x 2 at memory rows 0 and 1, that is
    // picture rows 6 and 7.
    const std::vector<uint8_t> pic = Labelled(6, 8);
    EXPECT_EQ(1, DrawImagePart(s.get(), pic.data(), 1, 1, 3, 2, 6, 0));
    EXPECT_EQ(0, At(s.get(), 1, 1)[0]);
    EXPECT_EQ(6, At(s.get(), 1, 1)[1]);
    EXPECT_EQ(2, At(s.get(), 3, 2)[0]);
    EXPECT_EQ(7, At(s.get(), 3, 2)[1]);
    EXPECT_EQ(6, Touched(s.get()));
    // A cell further up: the caller moves the start by whole rows.
    DrawImagePart(s.get(), pic.data() + 2 * 6 * 4, 5, 5, 6, 2, 6, 0);
    EXPECT_EQ(4, At(s.get(), 5, 5)[1]);
}

TEST(DrawImage, PackedAndExactKernelsDrawTheSameSurface)
{
    const std::vector<uint8_t> pic = RandomPixels(37 * 23, 4);
    SurfacePtr a = MakeSurface(50, 40, 0x80), b = MakeSurface(50, 40, 0x80);
    MmxAvailable = 0;
    DrawImage(a.get(), pic.data(), 17, -3, 37, 23, 0);
    MmxAvailable = 1;
    DrawImage(b.get(), pic.data(), 17, -3, 37, 23, 0);
    MmxAvailable = 0;
    EXPECT_EQ(0, memcmp(a->Bits, b->Bits, 50 * 40 * 4));
}

TEST(StretchPixels, NearestNeighbourOverTheWholeSurface)
{
    SurfacePtr s = MakeSurface(4, 6);
    const std::vector<uint8_t> pic = Labelled(2, 3);
    EXPECT_EQ(1, StretchPixelsToSurface(s.get(), pic.data(), 2, 3));
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(x / 2, At(s.get(), x, y)[0]);
            EXPECT_EQ(y / 2, At(s.get(), x, y)[1]);
            EXPECT_EQ(255, At(s.get(), x, y)[3]);  // a plain copy
        }
    // Same size: an exact copy. Shrinking keeps the corners' neighbourhood.
    SurfacePtr t = MakeSurface(2, 3);
    StretchPixelsToSurface(t.get(), pic.data(), 2, 3);
    EXPECT_EQ(0, memcmp(pic.data(), t->Bits, pic.size()));
    const std::vector<uint8_t> big = Labelled(9, 9);
    SurfacePtr u = MakeSurface(3, 3);
    StretchPixelsToSurface(u.get(), big.data(), 9, 9);
    EXPECT_EQ(1, At(u.get(), 0, 0)[0]);
    EXPECT_EQ(7, At(u.get(), 2, 2)[1]);
    EXPECT_EQ(0, StretchPixelsToSurface(s.get(), nullptr, 2, 3));
    EXPECT_EQ(0, StretchPixelsToSurface(s.get(), pic.data(), 0, 3));
}

}  // namespace
