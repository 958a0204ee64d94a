// BACK ... FINISH: pictures of the install screen.
#include "script_fixture.h"

namespace {

class ElementTest : public ScriptTest { };

const ScreenElement& Element(int i) { return SetupScript.ScreenElements[i]; }

TEST_F(ElementTest, EveryKindReadsItsFieldsInOrder)
{
    ASSERT_EQ(1,
        Load("BACK \"BACK.EPA\" 1 2 STRETCH_DESKTOP\r\n"
             "BASE \"BASE.EPA\" 3 4 640 480 center_desktop\r\n"
             "WRITE \"W.EPA\" 5 6 TO_FINISH NORMAL\r\n"
             "ELEMENT \"E.EPA\" 7 8 10 AFTER_FINISH SMALL\r\n"
             "PROGRESSBAR \"P.EPA\" 9 10 416 20 0 100 DIRECTION_RIGHTDOWN\r\n"
             "SPRITE1 \"S1.EPA\" 32 -5 -6 100 0 0 100 250 NORMAL\r\n"
             "SPRITE2 \"S2.EPA\" 48 1 2 3 4 5 INFINITE 100 200 300 NORMAL\r\n"
             "FINISH \"F.EPA\" 11 12 NORMAL\r\n"));
    const ScreenElement& back = Element(0);
    EXPECT_EQ(KindBack, back.Kind);
    EXPECT_STREQ("BACK.EPA", back.ImageFile);
    EXPECT_EQ(1, back.X);
    EXPECT_EQ(2, back.Y);
    EXPECT_EQ(STRETCH_DESKTOP, back.Mode);
    EXPECT_EQ(KindBase, Element(1).Kind);
    EXPECT_EQ(640, Element(1).DeltaX);
    EXPECT_EQ(480, Element(1).DeltaY);
    EXPECT_EQ(CENTER_DESKTOP, Element(1).Mode);
    EXPECT_EQ(TO_FINISH, Element(2).Start);
    EXPECT_EQ(NORMAL, Element(2).Mode);
    EXPECT_EQ(10, Element(3).Start);
    EXPECT_EQ(AFTER_FINISH, Element(3).End);
    EXPECT_EQ(SMALL, Element(3).Mode);
    const ScreenElement& bar = Element(4);
    EXPECT_EQ(KindProgressBar, bar.Kind);
    EXPECT_EQ(416, bar.DeltaX);
    EXPECT_EQ(20, bar.DeltaY);
    EXPECT_EQ(100, bar.End);
    EXPECT_EQ(DIRECTION_RIGHTDOWN, bar.Mode);
    const ScreenElement& s1 = Element(5);
    EXPECT_EQ(32, s1.CellHeight);
    EXPECT_EQ(-5, s1.X);
    EXPECT_EQ(-6, s1.Y);
    EXPECT_EQ(100, s1.DeltaX);
    EXPECT_EQ(100, s1.End);
    EXPECT_EQ(250, s1.FrameInterval);
    const ScreenElement& s2 = Element(6);
    EXPECT_EQ(KindSprite2, s2.Kind);
    EXPECT_EQ(48, s2.CellHeight);
    EXPECT_EQ(5, s2.Start);
    EXPECT_EQ(SPRITE_INFINITE, s2.End);
    EXPECT_EQ(100, s2.FrameInterval);
    EXPECT_EQ(200, s2.StartDelay);
    EXPECT_EQ(300, s2.FirstFrameTime);
    EXPECT_EQ(NORMAL, s2.Mode);
    EXPECT_EQ(KindFinish, Element(7).Kind);
    EXPECT_EQ(KindFree, Element(8).Kind);
}

TEST_F(ElementTest, ValuesAreSeparatedByBlanksOnly)
{
    ASSERT_EQ(
        1, Load("BACK \"A.EPA\" 1, 2 NORMAL\r\nBACK \"B.EPA\" 1,2 NORMAL\r\nBACK \"C.EPA\" - 5 NORMAL\r\n"));
    EXPECT_EQ(1, Element(0).X);
    EXPECT_EQ(2, Element(0).Y);
    EXPECT_EQ(1, Element(1).X);
    EXPECT_EQ(NORMAL, Element(1).Y);  // 1,2 was one word
    EXPECT_EQ(0, Element(1).Mode);
    EXPECT_EQ(-5, Element(2).X);  // "- 5" is two words: the 5 is read again as Y
    EXPECT_EQ(5, Element(2).Y);
}

TEST_F(ElementTest, ModeTakesNoSign)
{
    ASSERT_EQ(1, Load("BACK \"A.EPA\" -1 -2 -NORMAL\r\n"));
    EXPECT_EQ(-1, Element(0).X);
    EXPECT_EQ(0, Element(0).Mode);
}

TEST_F(ElementTest, IncompleteLinesStillClaimTheirSlot)
{
    ASSERT_EQ(
        1, Load("PROGRESSBAR \"P.EPA\" 5\r\nBACK\r\nWRITE \"open 1 2 3\r\nBASE unquoted 1 2 3 4 NORMAL\r\n"));
    EXPECT_EQ(5, Element(0).X);
    EXPECT_EQ(0, Element(0).Y);
    EXPECT_EQ(0, Element(0).Mode);
    EXPECT_EQ(KindBack, Element(1).Kind);
    EXPECT_STREQ("", Element(1).ImageFile);
    EXPECT_STREQ("open 1 2 3", Element(2).ImageFile);
    EXPECT_EQ(0, Element(2).X);
    EXPECT_STREQ("", Element(3).ImageFile);
    EXPECT_EQ(1, Element(3).X);
    EXPECT_EQ(NORMAL, Element(3).Mode);
}

TEST_F(ElementTest, NamesWithBlanksShiftTheValues)
{
    ASSERT_EQ(1, Load("BACK \"A B.EPA\" 1 2 NORMAL\r\n"));
    EXPECT_STREQ("A B.EPA", Element(0).ImageFile);
    EXPECT_EQ(0, Element(0).X);  // B.EPA" is read as X
    EXPECT_EQ(1, Element(0).Y);
    EXPECT_EQ(2, Element(0).Mode);
}

TEST_F(ElementTest, The257thLineIsIgnored)
{
    std::string script;
    for (int i = 0; i < MaxScreenElements; ++i)
        script += "WRITE \"W" + std::to_string(i) + ".EPA\" 0 0 0 NORMAL\r\n";
    script += "FINISH \"LATE.EPA\" 0 0 NORMAL\r\n";
    ASSERT_EQ(1, Load(script));
    EXPECT_STREQ("W255.EPA", Element(255).ImageFile);
    EXPECT_EQ(0u, SetupScript.DXDISC[0]);  // the field after the table
}

TEST_F(ElementTest, ElementsTakeTheFirstFreeSlot)
{
    SetupScript.ScreenElements[0].Kind = KindBack;
    ASSERT_EQ(1, Load("FINISH \"F.EPA\" 1 2 NORMAL\r\n"));
    EXPECT_EQ(KindFinish, Element(1).Kind);
}

}  // namespace
