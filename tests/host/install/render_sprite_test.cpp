// SPRITE1 and SPRITE2: travel, animation cells, retirement and the cascade.
#include "install/render_internal.h"
#include "render_fixture.h"

#include <cstdlib>

constexpr uint32_t Background = Opaque(0x202020);
constexpr uint32_t Top = Opaque(0xAA0000);
constexpr uint32_t Middle = Opaque(0x00AA00);
constexpr uint32_t Bottom = Opaque(0x0000AA);

// One colour per picture row, to tell which band a cell came from.
static Picture RowCodedPicture(int32_t width, int32_t height)
{
    Picture p = SolidPicture(width, height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            p.Set(x, y, Opaque(0x400000u + static_cast<uint32_t>(y)));
    return p;
}

class RenderSprite : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        MakeSurface(800, 200);
        WritePicture("BACK.EPA", SolidPicture(800, 200, Background));
        WritePicture("BANDS.EPA", BandedPicture(6, 4, {Top, Middle, Bottom}));
        Add(KindBack, "BACK.EPA").Mode = NORMAL;
        Frame(RenderPhaseFirst, 0);
    }

    ScreenElement& AddSprite(int32_t kind, const char* picture, int32_t cellHeight)
    {
        ScreenElement& e = Add(kind, picture);
        e.CellHeight = cellHeight;
        e.Y = 10;
        return e;
    }

    // Colour at the sprite's current top-left corner.
    uint32_t SpriteColour(const ScreenElement& e) const
    {
        return Pixel(e.DrawnRect.left, e.DrawnRect.top);
    }
};

TEST_F(RenderSprite, Sprite1TravelsWithProgressWhenAStepIsDue)
{
    ScreenElement& s = AddSprite(KindSprite1, "BANDS.EPA", 4);
    s.DeltaX = 600;
    s.End = 100;
    s.FrameInterval = 100;
    EXPECT_EQ(Tick(0), 1);
    EXPECT_TRUE(SameRect(s.DrawnRect, Rect{0, 10, 6, 14}));
    AdvanceClock(50);
    EXPECT_EQ(Tick(250), 0);  // no step due: it stays where it was
    EXPECT_EQ(s.DrawnRect.left, 0);
    AdvanceClock(60);
    EXPECT_EQ(Tick(250), 1);
    EXPECT_EQ(s.DrawnRect.left, 150);
    EXPECT_EQ(Pixel(150, 10), Middle);
    EXPECT_EQ(Pixel(0, 10), Background);
    std::vector<Rect> rects = Rects();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_TRUE(SameRect(rects[0], Rect{0, 10, 6, 14}));
    EXPECT_TRUE(SameRect(rects[1], Rect{150, 10, 156, 14}));
}

TEST_F(RenderSprite, Sprite1CyclesFromTheBottomBandUpward)
{
    ScreenElement& s = AddSprite(KindSprite1, "BANDS.EPA", 4);
    s.End = 100;
    s.FrameInterval = 0;
    Tick(0);
    std::vector<uint32_t> seen{SpriteColour(s)};
    for (int i = 0; i < 4; ++i) {
        AdvanceClock(100);
        Tick(0);
        seen.push_back(SpriteColour(s));
    }
    EXPECT_EQ(seen, (std::vector<uint32_t>{Bottom, Middle, Top, Bottom, Middle}));
}

TEST_F(RenderSprite, Sprite1StopsBeforeABandThatWouldLeaveThePicture)
{
    // 10 rows in cells of 4: two whole cells and 2 rows left at the top.
    WritePicture("ODD.EPA", RowCodedPicture(3, 10));
    ScreenElement& s = AddSprite(KindSprite1, "ODD.EPA", 4);
    s.End = 100;
    s.FrameInterval = 0;
    Tick(0);
    std::vector<uint32_t> tops{SpriteColour(s)};
    for (int i = 0; i < 4; ++i) {
        AdvanceClock(100);
        Tick(0);
        tops.push_back(SpriteColour(s));
        EXPECT_EQ(s.DrawnRect.bottom - s.DrawnRect.top, 4);
    }
    const uint32_t row6 = Opaque(0x400006), row2 = Opaque(0x400002);
    EXPECT_EQ(tops, (std::vector<uint32_t>{row6, row2, row6, row2, row6}));
}

TEST_F(RenderSprite, Sprite1WithEndAtStartSitsAtItsEnd)
{
    ScreenElement& s = AddSprite(KindSprite1, "BANDS.EPA", 4);
    s.X = 10;
    s.DeltaX = 100;
    s.DeltaY = 20;
    s.Start = 20;
    s.End = 20;
    s.FrameInterval = 10;
    Tick(200);
    AdvanceClock(100);
    EXPECT_EQ(Tick(205), 1);
    EXPECT_TRUE(SameRect(s.DrawnRect, Rect{110, 30, 116, 34}));
    AdvanceClock(100);
    EXPECT_EQ(Tick(210), 1);  // past its end: erased and retired
    EXPECT_EQ(s.State, 2);
    EXPECT_EQ(Pixel(110, 30), Background);
}

TEST_F(RenderSprite, Sprite2InfiniteMovesFiftyPixelsASecondForEver)
{
    ScreenElement& s = AddSprite(KindSprite2, "BANDS.EPA", 4);
    s.X = 20;
    s.DeltaX = 50;
    s.End = SPRITE_INFINITE;
    s.FrameInterval = 100;
    s.FirstFrameTime = 100;
    Tick(0);
    for (int i = 0; i < 10; ++i) {
        AdvanceClock(100);
        Tick(0);
    }
    EXPECT_EQ(s.DrawnRect.left, 70);
    for (int i = 0; i < 10; ++i) {
        AdvanceClock(100);
        Tick(500);
    }
    EXPECT_EQ(s.DrawnRect.left, 120);
    AdvanceClock(3600 * 1000);
    EXPECT_EQ(Tick(1020), 1);
    EXPECT_EQ(s.State, 1);
    EXPECT_EQ(s.DrawnRect.left, 20 + 50 * 3602);
}

TEST_F(RenderSprite, Sprite2RunsTopToBottomAndHoldsTheTopBand)
{
    ScreenElement& s = AddSprite(KindSprite2, "BANDS.EPA", 4);
    s.End = SPRITE_INFINITE;
    s.FrameInterval = 100;
    s.StartDelay = 1000;
    s.FirstFrameTime = 500;
    Tick(0);
    std::vector<uint32_t> seen;
    for (int t = 0; t <= 2000; t += 100) {
        SetClock(5000 + t);
        Tick(0);
        seen.push_back(SpriteColour(s));
    }
    std::vector<uint32_t> expected;
    for (int t = 0; t <= 2000; t += 100) {
        // Top until the delay has passed, then one band per interval, the
        // top band again held for FirstFrameTime.
        const uint32_t c = t < 1100 ? Top : t < 1200 ? Middle : t < 1300 ? Bottom
                         : t < 1800 ? Top : t < 1900 ? Middle : t < 2000 ? Bottom : Top;
        expected.push_back(c);
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(RenderSprite, Sprite2CellsStayInsideAnUnevenPicture)
{
    WritePicture("ODD.EPA", RowCodedPicture(3, 10));
    ScreenElement& s = AddSprite(KindSprite2, "ODD.EPA", 4);
    s.End = SPRITE_INFINITE;
    Tick(0);
    std::vector<uint32_t> tops{SpriteColour(s)};
    for (int i = 0; i < 4; ++i) {
        AdvanceClock(100);
        Tick(0);
        tops.push_back(SpriteColour(s));
    }
    const uint32_t row0 = Opaque(0x400000), row4 = Opaque(0x400004), row6 = Opaque(0x400006);
    EXPECT_EQ(tops, (std::vector<uint32_t>{row0, row4, row6, row0, row4}));
}

TEST_F(RenderSprite, Sprite2WithAFiniteLifeTravelsItsDeltaAndLeaves)
{
    ScreenElement& s = AddSprite(KindSprite2, "BANDS.EPA", 4);
    s.X = 100;
    s.DeltaX = 300;
    s.End = 300;
    s.FrameInterval = 100;
    Tick(0);
    for (int i = 0; i < 3; ++i) {
        AdvanceClock(100);
        EXPECT_EQ(Tick(0), 1);
    }
    EXPECT_EQ(s.DrawnRect.left, 400);
    AdvanceClock(100);
    EXPECT_EQ(Tick(0), 1);
    EXPECT_EQ(s.State, 2);
    EXPECT_EQ(Pixel(400, 10), Background);
}

TEST_F(RenderSprite, TimesAreDifferencesAcrossTheClockWrap)
{
    SetClock(0xFFFFFF00u);
    ScreenElement& s = AddSprite(KindSprite2, "BANDS.EPA", 4);
    s.DeltaX = 1000;
    s.End = 1000;
    s.FrameInterval = 100;
    ScreenElement& w = AddSprite(KindSprite1, "BANDS.EPA", 4);
    w.End = 100;
    w.FrameInterval = 150;
    Tick(0);
    int32_t last = s.DrawnRect.left;
    for (int i = 0; i < 8; ++i) {
        AdvanceClock(100);
        Tick(0);
        EXPECT_EQ(s.State, 1);
        EXPECT_EQ(s.DrawnRect.left, last + 100) << i;
        last = s.DrawnRect.left;
    }
    EXPECT_EQ(Clock, 0x00000220u);
    EXPECT_EQ(w.LastTick, Clock);  // stepped every 200 ms through the wrap
}

TEST_F(RenderSprite, CellTallerThanThePictureUsesThePictureWhole)
{
    for (int32_t cell : {13, 0, -4}) {
        ClearScreenElements();
        ScreenElement& a = AddSprite(KindSprite1, "BANDS.EPA", cell);
        a.End = 100;
        ScreenElement& b = AddSprite(KindSprite2, "BANDS.EPA", cell);
        b.X = 50;
        b.End = SPRITE_INFINITE;
        Tick(0);
        for (int i = 0; i < 3; ++i) {
            AdvanceClock(100);
            Tick(0);
        }
        EXPECT_EQ(a.DrawnRect.bottom - a.DrawnRect.top, 12) << cell;
        EXPECT_EQ(b.DrawnRect.bottom - b.DrawnRect.top, 12) << cell;
        EXPECT_EQ(Pixel(0, 10), Top) << cell;
        EXPECT_EQ(Pixel(0, 21), Bottom) << cell;
    }
}

static void* FailingAlloc(size_t, size_t) { return nullptr; }

TEST_F(RenderSprite, NoBackgroundBufferRetiresTheElement)
{
    ScreenElement& a = AddSprite(KindSprite1, "BANDS.EPA", 4);
    a.End = 100;
    ScreenElement& b = AddSprite(KindSprite2, "BANDS.EPA", 4);
    b.End = SPRITE_INFINITE;
    ScreenElement& c = Add(KindElement, "BANDS.EPA");
    c.End = 100;
    UnderPixelsAlloc = FailingAlloc;
    Tick(0);
    UnderPixelsAlloc = [](size_t n, size_t size) { return calloc(n, size); };
    for (ScreenElement* e : {&a, &b, &c}) {
        EXPECT_EQ(e->State, 2);
        EXPECT_EQ(e->ImagePixels, nullptr);
        EXPECT_EQ(e->UnderPixels, nullptr);
    }
    EXPECT_EQ(Pixel(0, 10), Background);
}

TEST_F(RenderSprite, LaterSpritesStayOnTopOfWhatChangesBeforeThem)
{
    WritePicture("PANEL.EPA", SolidPicture(40, 40, Opaque(0xFFFFFF)));
    ScreenElement& panel = Add(KindWrite, "PANEL.EPA");
    panel.Start = 50;
    ScreenElement& s = AddSprite(KindSprite1, "BANDS.EPA", 4);
    s.X = 5;
    s.DeltaX = 500;
    s.End = 100;
    s.FrameInterval = 10000;  // no step of its own for a long while
    Tick(0);
    EXPECT_EQ(Tick(500), 1);  // the panel appears under the waiting sprite
    EXPECT_EQ(Pixel(5, 10), Bottom);
    EXPECT_EQ(Pixel(4, 10), Opaque(0xFFFFFF));
    AdvanceClock(20000);
    EXPECT_EQ(Tick(600), 1);  // the sprite walks off the panel
    EXPECT_EQ(s.DrawnRect.left, 305);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(Pixel(x, y), Opaque(0xFFFFFF)) << x << "," << y;
}
