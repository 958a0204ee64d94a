#include "image/scale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

uint32_t Pixel(const std::vector<uint8_t>& p, int32_t width, int32_t x, int32_t y)
{
    const uint8_t* b = &p[(static_cast<size_t>(y) * width + x) * 4];
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}

}  // namespace

TEST(ScaleForDpi, TheUsualScalings)
{
    const struct {
        unsigned Dpi;
        int32_t Title, Logo;
    } cases[] = {{0, 320, 98}, {96, 320, 98}, {120, 400, 123}, {144, 480, 147}, {192, 640, 196}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.Title, ScaleForDpi(320, c.Dpi)) << c.Dpi;
        EXPECT_EQ(c.Logo, ScaleForDpi(98, c.Dpi)) << c.Dpi;
    }
}

TEST(ScalePicture, IntegerFactorsCopyPixelsOtherFactorsAverageTheirArea)
{
    // Two columns, black and white, one row; alpha opaque.
    const std::vector<uint8_t> source = {0, 0, 0, 255, 255, 255, 255, 255};
    std::vector<uint8_t> twice(4 * 2 * 4);
    ASSERT_TRUE(ScalePicture(source.data(), 2, 1, twice.data(), 4, 2));
    for (int32_t y = 0; y < 2; ++y) {
        EXPECT_EQ(0xFF000000u, Pixel(twice, 4, 0, y));
        EXPECT_EQ(0xFF000000u, Pixel(twice, 4, 1, y));
        EXPECT_EQ(0xFFFFFFFFu, Pixel(twice, 4, 2, y));
        EXPECT_EQ(0xFFFFFFFFu, Pixel(twice, 4, 3, y));
    }
    // 1.5 times: the middle column covers half of each, the edges stay whole.
    std::vector<uint8_t> half(3 * 1 * 4);
    ASSERT_TRUE(ScalePicture(source.data(), 2, 1, half.data(), 3, 1));
    EXPECT_EQ(0xFF000000u, Pixel(half, 3, 0, 0));
    EXPECT_EQ(0xFF808080u, Pixel(half, 3, 1, 0));
    EXPECT_EQ(0xFFFFFFFFu, Pixel(half, 3, 2, 0));
    // The same size is the same picture; no size is no picture.
    std::vector<uint8_t> same(8);
    ASSERT_TRUE(ScalePicture(source.data(), 2, 1, same.data(), 2, 1));
    EXPECT_EQ(source, same);
    EXPECT_FALSE(ScalePicture(source.data(), 2, 1, same.data(), 0, 1));

    int32_t w = 0, h = 0;
    uint8_t* scaled = ScalePictureForDpi(source.data(), 2, 1, 192, &w, &h);
    ASSERT_NE(nullptr, scaled);
    EXPECT_EQ(4, w);
    EXPECT_EQ(2, h);
    free(scaled);
}

TEST(ScaledShow, SurfaceAndScreenRectanglesMeetWithoutGaps)
{
    const struct {
        unsigned Dpi;
        int32_t Screen, Surface;
    } sizes[] = {{96, 1920, 1920}, {144, 1920, 1280}, {144, 1921, 1281}, {192, 3840, 1920}, {120, 1366, 1093}};
    for (const auto& c : sizes) {
        EXPECT_EQ(c.Surface, SurfaceSizeForScreen(c.Screen, c.Dpi)) << c.Dpi;
        EXPECT_GE(SurfaceToScreen(c.Surface, c.Dpi), c.Screen) << c.Dpi;  // reaches the edge
    }
    // At 200 % each surface pixel is a 2 x 2 block; at 150 % rectangles
    // that share an edge share it on the screen too.
    EXPECT_EQ(20, SurfaceToScreen(10, 192));
    EXPECT_EQ(10, SurfaceToScreen(7, 144));  // 10.5, rounded down
    const Rect paint = ScreenRectToSurface(Rect{15, 15, 31, 32}, 144);
    EXPECT_EQ(10, paint.left);
    EXPECT_EQ(10, paint.top);
    EXPECT_EQ(21, paint.right);  // 31 / 1.5 = 20.7, rounded up to cover it
    EXPECT_EQ(22, paint.bottom);
    const Rect same = ScreenRectToSurface(Rect{3, 4, 5, 6}, 96);
    EXPECT_EQ(3, same.left);
    EXPECT_EQ(6, same.bottom);
}
