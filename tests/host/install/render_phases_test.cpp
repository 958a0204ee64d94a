// The first frame, the one-time pictures and the finish pictures.
#include "render_fixture.h"

#include <cstring>

constexpr uint32_t Red = Opaque(0xFF0000);
constexpr uint32_t Green = Opaque(0x00FF00);
constexpr uint32_t Blue = Opaque(0x0000FF);
constexpr uint32_t Black = Opaque(0);

using RenderPhases = RenderTest;

TEST_F(RenderPhases, WithoutBaseViewIsTheWholeSurface)
{
    WritePicture("BACK.EPA", SolidPicture(320, 240, Blue));
    WritePicture("W.EPA", SolidPicture(8, 6, Red));
    ScreenElement& back = Add(KindBack, "BACK.EPA");
    back.Mode = NORMAL;
    ScreenElement& write = Add(KindWrite, "W.EPA");
    write.X = 10;
    write.Y = 20;

    EXPECT_EQ(Frame(RenderPhaseFirst, 0), 1);
    ASSERT_EQ(Rects().size(), 1u);
    EXPECT_TRUE(SameRect(Rects()[0], Rect{0, 0, 320, 240}));
    EXPECT_TRUE(SameRect(Screen->View, Rect{0, 0, 320, 240}));
    EXPECT_EQ(back.State, 2);
    EXPECT_EQ(back.ImagePixels, nullptr);

    EXPECT_EQ(Tick(0), 1);
    EXPECT_EQ(Pixel(10, 20), Red);
    EXPECT_EQ(Pixel(17, 25), Red);
    EXPECT_EQ(Pixel(9, 20), Blue);
    EXPECT_EQ(Pixel(18, 26), Blue);
}

TEST_F(RenderPhases, CentredBaseSetsTheViewForLaterElements)
{
    MakeSurface(1024, 768);
    WritePicture("BASE.EPA", SolidPicture(640, 480, Green));
    WritePicture("W.EPA", SolidPicture(8, 6, Red));
    ScreenElement& base = Add(KindBase, "BASE.EPA");
    base.DeltaX = 640;
    base.DeltaY = 480;
    base.Mode = CENTER_DESKTOP;
    ScreenElement& write = Add(KindWrite, "W.EPA");
    write.X = 10;
    write.Y = 20;

    EXPECT_EQ(Frame(RenderPhaseFirst, 0), 1);
    EXPECT_TRUE(SameRect(Screen->View, Rect{192, 144, 832, 624}));
    ASSERT_EQ(Rects().size(), 1u);
    EXPECT_TRUE(SameRect(Rects()[0], Rect{192, 144, 832, 624}));
    EXPECT_EQ(Pixel(192, 144), Green);
    EXPECT_EQ(Pixel(191, 144), Black);

    EXPECT_EQ(Tick(0), 1);
    EXPECT_EQ(Pixel(202, 164), Red);
    EXPECT_EQ(Pixel(201, 164), Green);
    ASSERT_EQ(Rects().size(), 1u);
    EXPECT_TRUE(SameRect(Rects()[0], Rect{202, 164, 210, 170}));
}

TEST_F(RenderPhases, NormalBaseSetsViewFromTheScriptEvenWithoutItsPicture)
{
    ScreenElement& base = Add(KindBase, "MISSING.EPA");
    base.X = 30;
    base.Y = 40;
    base.DeltaX = 100;
    base.DeltaY = 50;
    base.Mode = NORMAL;
    EXPECT_EQ(Frame(RenderPhaseFirst, 0), 0);
    EXPECT_TRUE(SameRect(Screen->View, Rect{30, 40, 130, 90}));
    EXPECT_EQ(base.State, 2);
}

TEST_F(RenderPhases, BackgroundModes)
{
    WritePicture("B.EPA", SolidPicture(16, 12, Red));
    ScreenElement& none = Add(KindBack, "B.EPA");  // no mode keyword
    none.X = 4;
    none.Y = 4;
    EXPECT_EQ(Frame(RenderPhaseFirst, 0), 1);
    EXPECT_TRUE(Rects().empty());
    EXPECT_EQ(Pixel(4, 4), Black);
    EXPECT_EQ(none.State, 2);

    ScreenElement& normal = Add(KindBack, "B.EPA");
    normal.X = -4;
    normal.Y = 230;
    normal.Mode = NORMAL;
    EXPECT_EQ(Frame(RenderPhaseFirst, 0), 1);
    ASSERT_EQ(Rects().size(), 1u);
    EXPECT_TRUE(SameRect(Rects()[0], Rect{0, 230, 12, 240}));  // clipped to the surface
    EXPECT_EQ(Pixel(0, 239), Red);

    ScreenElement& stretch = Add(KindBack, "B.EPA");
    stretch.Mode = STRETCH_DESKTOP;
    EXPECT_EQ(Frame(RenderPhaseFirst, 0), 1);
    ASSERT_EQ(Rects().size(), 1u);
    EXPECT_TRUE(SameRect(Rects()[0], Rect{0, 0, 320, 240}));
    EXPECT_EQ(Pixel(319, 0), Red);

    EXPECT_EQ(Frame(RenderPhaseFirst, 0), 0);  // every one is retired
}

TEST_F(RenderPhases, WriteAppearsAtItsStartAndStays)
{
    WritePicture("W.EPA", SolidPicture(5, 5, Red));
    ScreenElement& write = Add(KindWrite, "W.EPA");
    write.Start = 50;
    Frame(RenderPhaseFirst, 0);
    EXPECT_EQ(Tick(0), 0);
    EXPECT_EQ(Tick(499), 0);
    EXPECT_EQ(Pixel(0, 0), Black);
    EXPECT_EQ(Tick(503), 1);
    EXPECT_EQ(Pixel(0, 0), Red);
    for (int progress : {700, 1000, 1010, 1020, 1020}) {
        EXPECT_EQ(Tick(progress), 0);
        EXPECT_EQ(Pixel(4, 4), Red);
    }
    EXPECT_EQ(write.State, 2);
}

TEST_F(RenderPhases, ElementUntilToFinishGoesWhenAfterFinishBegins)
{
    WritePicture("BACK.EPA", SolidPicture(320, 240, Blue));
    WritePicture("E.EPA", SolidPicture(10, 10, Red));
    Add(KindBack, "BACK.EPA").Mode = NORMAL;
    ScreenElement& element = Add(KindElement, "E.EPA");
    element.X = 50;
    element.Y = 60;
    element.End = TO_FINISH;
    Frame(RenderPhaseFirst, 0);
    EXPECT_EQ(Tick(0), 1);
    EXPECT_EQ(Pixel(55, 65), Red);
    EXPECT_EQ(element.State, 1);
    EXPECT_EQ(element.ImagePixels, nullptr);  // the picture is not kept
    EXPECT_NE(element.UnderPixels, nullptr);
    EXPECT_EQ(Tick(1000), 0);
    EXPECT_EQ(Tick(1010), 0);
    EXPECT_EQ(Pixel(55, 65), Red);

    EXPECT_EQ(Tick(1020), 1);
    EXPECT_EQ(Pixel(55, 65), Blue);
    EXPECT_EQ(Pixel(59, 69), Blue);
    ASSERT_EQ(Rects().size(), 1u);
    EXPECT_TRUE(SameRect(Rects()[0], Rect{50, 60, 60, 70}));
    EXPECT_EQ(element.State, 2);
    EXPECT_EQ(element.UnderPixels, nullptr);
    EXPECT_EQ(Tick(1020), 0);
}

TEST_F(RenderPhases, MissingPictureRetiresOnlyItsElement)
{
    WritePicture("W.EPA", SolidPicture(5, 5, Red));
    ScreenElement& gone = Add(KindElement, "NOPE.EPA");
    gone.End = 100;
    ScreenElement& write = Add(KindWrite, "W.EPA");
    write.X = 100;
    Frame(RenderPhaseFirst, 0);
    EXPECT_EQ(Tick(0), 1);
    EXPECT_EQ(gone.State, 2);
    EXPECT_EQ(Pixel(100, 0), Red);
}

TEST_F(RenderPhases, FinishIsDrawnByPhaseTwoOnlyOnce)
{
    MakeSurface(1024, 768);
    WritePicture("F.EPA", SolidPicture(20, 10, Green));
    ScreenElement& base = Add(KindBase, "NONE.EPA");
    base.DeltaX = 640;
    base.DeltaY = 480;
    base.Mode = CENTER_DESKTOP;
    ScreenElement& finish = Add(KindFinish, "F.EPA");
    finish.X = 120;
    finish.Y = 116;
    finish.Mode = NORMAL;
    Frame(RenderPhaseFirst, 0);
    EXPECT_EQ(Tick(1010), 0);  // phase 1 never draws FINISH
    EXPECT_EQ(finish.State, 0);

    EXPECT_EQ(Frame(RenderPhaseFinish, 0), 1);
    EXPECT_EQ(Pixel(192 + 120, 144 + 116), Green);
    ASSERT_EQ(Rects().size(), 1u);
    EXPECT_TRUE(SameRect(Rects()[0], Rect{312, 260, 332, 270}));
    EXPECT_EQ(Frame(RenderPhaseFinish, 0), 0);
    EXPECT_TRUE(Rects().empty());
}

TEST_F(RenderPhases, StretchedFinishListsTheWholeSurface)
{
    WritePicture("F.EPA", SolidPicture(4, 4, Green));
    ScreenElement& finish = Add(KindFinish, "F.EPA");
    finish.X = 1;
    finish.Y = 1;
    finish.Mode = STRETCH_DESKTOP;
    EXPECT_EQ(Frame(RenderPhaseFinish, 0), 1);
    ASSERT_EQ(Rects().size(), 1u);
    EXPECT_TRUE(SameRect(Rects()[0], Rect{0, 0, 320, 240}));
    EXPECT_EQ(Pixel(319, 239), Green);
}

TEST_F(RenderPhases, UnknownPhaseClearsTheListAndDrawsNothing)
{
    WritePicture("B.EPA", SolidPicture(4, 4, Red));
    Add(KindBack, "B.EPA").Mode = NORMAL;
    EXPECT_EQ(Frame(RenderPhaseFirst, 0), 1);
    EXPECT_FALSE(Rects().empty());
    EXPECT_EQ(Frame(3, 0), 0);
    EXPECT_EQ(Frame(-1, 0), 0);
    EXPECT_TRUE(Rects().empty());
    EXPECT_EQ(RenderInstallFrame(RenderPhaseFirst, 0, nullptr, List), 0);
}

TEST_F(RenderPhases, TableEndsAtTheFirstFreeSlot)
{
    WritePicture("W.EPA", SolidPicture(4, 4, Red));
    Add(KindWrite, "W.EPA");
    ScreenElement& after = SetupScript.ScreenElements[2];  // slot 1 stays free
    after.Kind = KindWrite;
    strcpy(after.ImageFile, "W.EPA");
    after.X = 50;
    EXPECT_EQ(Tick(0), 1);
    EXPECT_EQ(Pixel(50, 0), Black);
    EXPECT_EQ(after.State, 0);
}

TEST_F(RenderPhases, IdleTickReturnsZeroWithNoRectangle)
{
    WritePicture("W.EPA", SolidPicture(4, 4, Red));
    WritePicture("S.EPA", BandedPicture(4, 4, {Red, Green}));
    ScreenElement& write = Add(KindWrite, "W.EPA");
    write.Start = 60;
    ScreenElement& element = Add(KindElement, "W.EPA");
    element.Start = 0;
    element.End = 80;
    ScreenElement& sprite = Add(KindSprite1, "S.EPA");
    sprite.CellHeight = 4;
    sprite.DeltaX = 100;
    sprite.End = 100;
    sprite.FrameInterval = 500;
    ScreenElement& fairy = Add(KindSprite2, "S.EPA");
    fairy.CellHeight = 4;
    fairy.Start = 0;
    fairy.End = 300;
    fairy.StartDelay = 100000;
    Frame(RenderPhaseFirst, 0);
    EXPECT_EQ(Tick(0), 1);
    AdvanceClock(200);
    EXPECT_EQ(Tick(0), 1);  // a finite sprite is redrawn while it lives
    AdvanceClock(200);
    EXPECT_EQ(Tick(10), 0);  // expired, and its next cell is not due
    EXPECT_TRUE(Rects().empty());
    AdvanceClock(200);
    EXPECT_EQ(Tick(50), 1);  // the walker's step is due
}
