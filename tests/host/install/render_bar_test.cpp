// Progress bars in every direction their Mode names.
#include "render_fixture.h"

constexpr uint32_t Background = Opaque(0x101010);

// Every pixel its own colour, so that a misplaced row or column shows.
static Picture CodedPicture(int32_t width, int32_t height)
{
    Picture p = SolidPicture(width, height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            p.Set(x, y, Opaque(0x800000u | static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y)));
    return p;
}

class RenderBar : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        WritePicture("BACK.EPA", SolidPicture(320, 240, Background));
        Add(KindBack, "BACK.EPA").Mode = NORMAL;
        Frame(RenderPhaseFirst, 0);
    }

    ScreenElement& AddBar(const Picture& picture, int32_t mode, int32_t deltaX, int32_t deltaY)
    {
        WritePicture("BAR.EPA", picture);
        Bar = &Add(KindProgressBar, "BAR.EPA");
        Bar->X = 20;
        Bar->Y = 30;
        Bar->DeltaX = deltaX;
        Bar->DeltaY = deltaY;
        Bar->Start = 0;
        Bar->End = 100;
        Bar->Mode = mode;
        Shown = picture;
        EXPECT_EQ(Tick(0), 0);  // loads it; nothing is drawn yet
        EXPECT_EQ(Bar->State, 1);
        return *Bar;
    }

    // The part of the picture (picture coordinates) that must be on screen
    // at the bar's place, with the background everywhere else around it.
    void ExpectRevealed(Rect part)
    {
        for (int32_t y = 0; y < Shown.Height; ++y) {
            for (int32_t x = 0; x < Shown.Width; ++x) {
                const bool inside = x >= part.left && x < part.right && y >= part.top && y < part.bottom;
                ASSERT_EQ(Pixel(20 + x, 30 + y), inside ? Shown.Get(x, y) : Background)
                    << "picture pixel " << x << "," << y;
            }
        }
    }

    ScreenElement* Bar = nullptr;
    Picture Shown;
};

TEST_F(RenderBar, RightRevealsFromTheLeftEdge)
{
    AddBar(CodedPicture(200, 4), DIRECTION_RIGHT, 200, 0);
    EXPECT_EQ(Tick(500), 1);
    EXPECT_EQ(Bar->LastTick, 100u);
    EXPECT_TRUE(SameRect(Bar->DrawnRect, Rect{20, 30, 120, 34}));
    ASSERT_EQ(Rects().size(), 1u);
    EXPECT_TRUE(SameRect(Rects()[0], Rect{20, 30, 120, 34}));
    ExpectRevealed(Rect{0, 0, 100, 4});
    EXPECT_EQ(Tick(502), 0);  // the same width: nothing to draw
}

TEST_F(RenderBar, FourHundredPixelBarIsHalfWayAtFiveHundred)
{
    MakeSurface(640, 100);
    WritePicture("BAR4.EPA", SolidPicture(400, 10, Opaque(0x00FF00)));
    ScreenElement& bar = Add(KindProgressBar, "BAR4.EPA");
    bar.DeltaX = 400;
    bar.End = 100;
    bar.Mode = DIRECTION_RIGHT;
    Tick(0);
    EXPECT_EQ(Tick(500), 1);
    EXPECT_EQ(bar.DrawnRect.right - bar.DrawnRect.left, 200);
    EXPECT_EQ(Pixel(199, 5), Opaque(0x00FF00));
    EXPECT_EQ(Pixel(200, 5), Opaque(0));
}

TEST_F(RenderBar, DownRevealsFromTheTopEdge)
{
    AddBar(CodedPicture(6, 100), DIRECTION_DOWN, 0, 100);
    EXPECT_EQ(Tick(250), 1);
    EXPECT_EQ(Bar->Frame, 25);
    EXPECT_TRUE(SameRect(Bar->DrawnRect, Rect{20, 30, 26, 55}));
    ExpectRevealed(Rect{0, 0, 6, 25});
}

TEST_F(RenderBar, UpRevealsFromTheBottomEdge)
{
    AddBar(CodedPicture(6, 100), DIRECTION_UP, 0, 100);
    EXPECT_EQ(Tick(250), 1);
    EXPECT_TRUE(SameRect(Bar->DrawnRect, Rect{20, 105, 26, 130}));
    ExpectRevealed(Rect{0, 75, 6, 100});
}

TEST_F(RenderBar, LeftRevealsFromTheRightEdge)
{
    AddBar(CodedPicture(80, 3), DIRECTION_LEFT, 80, 0);
    EXPECT_EQ(Tick(750), 1);
    EXPECT_EQ(Bar->LastTick, 60u);
    ExpectRevealed(Rect{20, 0, 80, 3});
}

TEST_F(RenderBar, DiagonalsCombineTheirTwoSides)
{
    AddBar(CodedPicture(40, 20), DIRECTION_RIGHTDOWN, 40, 20);
    EXPECT_EQ(Tick(500), 1);
    ExpectRevealed(Rect{0, 0, 20, 10});
    EXPECT_EQ(Tick(1000), 1);
    ExpectRevealed(Rect{0, 0, 40, 20});
}

TEST_F(RenderBar, LeftUpGrowsFromTheBottomRightCorner)
{
    AddBar(CodedPicture(40, 20), DIRECTION_LEFTUP, 40, 20);
    EXPECT_EQ(Tick(250), 1);
    ExpectRevealed(Rect{30, 15, 40, 20});
}

TEST_F(RenderBar, WidthIsCappedAndAWholeBarStaysIdle)
{
    AddBar(CodedPicture(50, 2), DIRECTION_RIGHT, 100, 0);
    EXPECT_EQ(Tick(400), 1);
    ExpectRevealed(Rect{0, 0, 40, 2});
    EXPECT_EQ(Tick(600), 1);
    EXPECT_EQ(Bar->LastTick, 50u);
    ExpectRevealed(Rect{0, 0, 50, 2});
    EXPECT_EQ(Tick(700), 0);
    EXPECT_EQ(Tick(1010), 0);
    EXPECT_TRUE(Rects().empty());
}

TEST_F(RenderBar, EndEqualToStartShowsTheWholeBar)
{
    AddBar(CodedPicture(30, 2), DIRECTION_RIGHT, 30, 0);
    Bar->End = 0;
    EXPECT_EQ(Tick(10), 1);
    EXPECT_EQ(Bar->LastTick, 30u);
    ExpectRevealed(Rect{0, 0, 30, 2});
    EXPECT_EQ(Bar->State, 2);  // past its end: the last drawing
}

TEST_F(RenderBar, OtherModesAndMissingDeltasNeverDraw)
{
    for (int32_t mode : {NORMAL, 0, DIRECTION_LEFT | DIRECTION_RIGHT}) {
        ClearScreenElements();
        AddBar(CodedPicture(10, 2), mode, 10, 2);
        EXPECT_EQ(Tick(500), 0) << mode;
    }
    ClearScreenElements();
    AddBar(CodedPicture(10, 2), DIRECTION_RIGHT, 0, 2);
    EXPECT_EQ(Tick(500), 0);
    ClearScreenElements();
    AddBar(CodedPicture(10, 2), DIRECTION_RIGHTDOWN, 10, 0);
    EXPECT_EQ(Tick(500), 0);
}

TEST_F(RenderBar, BarInsideTheViewIsPlacedAndRecordedInSurfaceCoordinates)
{
    Screen->View = Rect{100, 50, 300, 200};
    AddBar(CodedPicture(20, 2), DIRECTION_RIGHT, 20, 0);
    EXPECT_EQ(Tick(500), 1);
    ASSERT_EQ(Rects().size(), 1u);
    EXPECT_TRUE(SameRect(Rects()[0], Rect{120, 80, 130, 82}));
    EXPECT_EQ(Pixel(120, 80), Shown.Get(0, 0));
}

TEST_F(RenderBar, BarFirstSeenPastItsStartStillAppears)
{
    // A fast copy can pass the bar's Start before the first timer tick.
    WritePicture("BAR.EPA", CodedPicture(200, 4));
    Bar = &Add(KindProgressBar, "BAR.EPA");
    Bar->X = 20;
    Bar->Y = 30;
    Bar->DeltaX = 200;
    Bar->End = 100;
    Bar->Mode = DIRECTION_RIGHT;
    Shown = CodedPicture(200, 4);
    Tick(300);
    EXPECT_EQ(Bar->State, 1);
    EXPECT_EQ(Tick(300), 1);
    ExpectRevealed(Rect{0, 0, 60, 4});
    EXPECT_EQ(Tick(1000), 1);
    ExpectRevealed(Rect{0, 0, 200, 4});
}
