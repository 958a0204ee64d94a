// Keys with one quoted text and keys with a list of quoted texts.
#include "script_fixture.h"

namespace {

class SingleTextTest : public ScriptTest { };
class TextListTest : public ScriptTest { };

TEST_F(SingleTextTest, EveryKeyFillsItsField)
{
    ASSERT_EQ(1,
        Load("APPLITITLE = \"t\"\nSUBTITLE = \"s\"\nEXENAME = \"e\"\nMUSTMAKEFOLDER = \"m\"\n"
             "REGADDRESS = \"r\"\nSAVEFOLDER = \"sf\"\nDXMESSAGE = \"dm\"\nDXPLACE = \"dp\"\n"
             "BRANDNAME = \"bn\"\nBRANDFOLDER = \"bf\\\"\n"));
    const SetupScriptRecord& s = SetupScript;
    EXPECT_STREQ("t", s.APPLITITLE);
    EXPECT_STREQ("s", s.SUBTITLE);
    EXPECT_STREQ("e", s.EXENAME);
    EXPECT_STREQ("m", s.MUSTMAKEFOLDER);
    EXPECT_STREQ("r", s.REGADDRESS);
    EXPECT_STREQ("sf", s.SAVEFOLDER);
    EXPECT_STREQ("dm", s.DXMESSAGE);
    EXPECT_STREQ("dp", s.DXPLACE);
    EXPECT_STREQ("bn", s.BRANDNAME);
    EXPECT_STREQ("bf\\", s.BRANDFOLDER);
}

TEST_F(SingleTextTest, QuotedTextKeepsBlanksEqualsAndShiftJis)
{
    ASSERT_EQ(
        1, Load("APPLITITLE=\"星霜 の = ソフト\"   \r\nREGADDRESS =\t\"Software\\A\\B\" trailing words\r\n"));
    EXPECT_STREQ("星霜 の = ソフト", SetupScript.APPLITITLE);
    EXPECT_STREQ("Software\\A\\B", SetupScript.REGADDRESS);
}

TEST_F(SingleTextTest, CommaOrLineEndCutsTheText)
{
    ASSERT_EQ(
        1, Load("APPLITITLE = \"Title, the sequel\"\r\nSUBTITLE = \"no closing quote\r\nEXENAME = \"\"\r\n"));
    EXPECT_STREQ("Title", SetupScript.APPLITITLE);
    EXPECT_STREQ("no closing quote", SetupScript.SUBTITLE);
    EXPECT_STREQ("", SetupScript.EXENAME);
}

TEST_F(SingleTextTest, UnquotedValueLeavesTheFieldAndLaterLinesReplaceIt)
{
    ASSERT_EQ(1, Load("APPLITITLE = \"a long first title\"\r\nAPPLITITLE = Unquoted\r\nAPPLITITLE =\r\n"));
    EXPECT_STREQ("a long first title", SetupScript.APPLITITLE);
    ASSERT_EQ(1, Load("APPLITITLE = \"short\"\r\n"));
    EXPECT_STREQ("short", SetupScript.APPLITITLE);
}

TEST_F(SingleTextTest, MissingEqualsFailsTheLoad)
{
    EXPECT_EQ(0, Load("APPLITITLE \"x\"\r\n"));
    StartModelAfresh();
    EXPECT_EQ(0, Load("BRANDFOLDER\r\n"));
}

TEST_F(SingleTextTest, LongTextIsCutToTheFieldWithoutSplittingACharacter)
{
    ASSERT_EQ(1,
        Load("APPLITITLE = \"" + std::string(100, 'x') + "\"\r\nSUBTITLE = \"" + std::string(62, 'y') +
            "ア\"\r\n"));
    EXPECT_EQ(std::string(63, 'x'), SetupScript.APPLITITLE);
    EXPECT_EQ(std::string(62, 'y'), SetupScript.SUBTITLE);  // the two-byte character does not fit whole
    EXPECT_STREQ("", SetupScript.EXENAME);                  // the next field is untouched
}

TEST_F(TextListTest, QuotedItemsFillSlotsFromZero)
{
    ASSERT_EQ(1,
        Load("DISCLABEL = \"L1\" \"L2\"\r\nDISCNAME=\"N1\"\t\"N2\"\r\nKEYFILE = \"K1\" \"K2\"\r\n"
             "SHORTCUTLABEL = \"a\"\r\nSHORTCUTLINK = \"b\"\r\nSHORTCUTFOLDER = \"\" \"c\"\r\n"
             "SHORTCUTPARAM = \"-w\"\r\nSAVEDATA = \"*.sav\"\r\nOPTIONTITLE = \"Full\" \"Min\"\r\n"
             "MAKEFOLDER = \"data\" \"data\\voice\"\r\n"));
    const SetupScriptRecord& s = SetupScript;
    EXPECT_STREQ("L2", s.DISCLABEL[1]);
    EXPECT_STREQ("N1", s.DISCNAME[0]);
    EXPECT_STREQ("N2", s.DISCNAME[1]);
    EXPECT_STREQ("K2", s.KEYFILE[1]);
    EXPECT_STREQ("a", s.SHORTCUTLABEL[0]);
    EXPECT_STREQ("b", s.SHORTCUTLINK[0]);
    EXPECT_STREQ("", s.SHORTCUTFOLDER[0]);
    EXPECT_STREQ("c", s.SHORTCUTFOLDER[1]);
    EXPECT_STREQ("-w", s.SHORTCUTPARAM[0]);
    EXPECT_STREQ("*.sav", s.SAVEDATA[0]);
    EXPECT_STREQ("Min", s.OPTIONTITLE[1]);
    EXPECT_STREQ("data\\voice", s.MAKEFOLDER[1]);
}

TEST_F(TextListTest, BlanksInsideQuotesLeaveOneUntouchedSlotPerWord)
{
    ASSERT_EQ(1, Load("DISCNAME = \"old0\" \"old1\" \"old2\"\r\nDISCNAME = \"Disc one\" \"Disc2\"\r\n"));
    EXPECT_STREQ("Disc one", SetupScript.DISCNAME[0]);
    EXPECT_STREQ("old1", SetupScript.DISCNAME[1]);
    EXPECT_STREQ("Disc2", SetupScript.DISCNAME[2]);
}

TEST_F(TextListTest, ShortcutNamesMayHoldBlanks)
{
    ASSERT_EQ(1, Load("SHORTCUTNAME = \"Start the game.lnk\"  \"Read me first.lnk\"\r\n"));
    EXPECT_STREQ("Start the game.lnk", SetupScript.SHORTCUTNAME[0]);
    EXPECT_STREQ("Read me first.lnk", SetupScript.SHORTCUTNAME[1]);
    EXPECT_STREQ("", SetupScript.SHORTCUTNAME[2]);
}

TEST_F(TextListTest, CommasBetweenItems)
{
    // A comma right after the closing quote belongs to the word; one that
    // joins two texts makes one word, of which only the first text counts.
    ASSERT_EQ(1, Load("KEYFILE = \"A.KEY\", \"B.KEY\"\r\nDISCNAME = \"x\",\"y\" \"z\"\r\n"));
    EXPECT_STREQ("A.KEY", SetupScript.KEYFILE[0]);
    EXPECT_STREQ("B.KEY", SetupScript.KEYFILE[1]);
    EXPECT_STREQ("x", SetupScript.DISCNAME[0]);
    EXPECT_STREQ("z", SetupScript.DISCNAME[1]);
    // SHORTCUTNAME moves on from the closing quote, so a comma ends its list.
    ASSERT_EQ(1, Load("SHORTCUTNAME = \"a.lnk\", \"b.lnk\"\r\nSHORTCUTLINK = \"after\"\r\n"));
    EXPECT_STREQ("a.lnk", SetupScript.SHORTCUTNAME[0]);
    EXPECT_STREQ("", SetupScript.SHORTCUTNAME[1]);
    EXPECT_STREQ("after", SetupScript.SHORTCUTLINK[0]);
}

TEST_F(TextListTest, UnquotedItemsKeepTheirSlotAndOpenQuotesEndTheLine)
{
    ASSERT_EQ(1,
        Load("KEYFILE = \"a\" \"b\" \"c\"\r\nKEYFILE = x \"B\"\r\nSAVEDATA = \"one\" \"two, three\" "
             "\"four\"\r\n"
             "MAKEFOLDER = \"open \r\nOPTIONTITLE =   \r\n"));
    EXPECT_STREQ("a", SetupScript.KEYFILE[0]);
    EXPECT_STREQ("B", SetupScript.KEYFILE[1]);
    EXPECT_STREQ("c", SetupScript.KEYFILE[2]);
    EXPECT_STREQ("two", SetupScript.SAVEDATA[1]);
    EXPECT_STREQ("", SetupScript.SAVEDATA[2]);
    EXPECT_STREQ("open ", SetupScript.MAKEFOLDER[0]);
    EXPECT_STREQ("", SetupScript.OPTIONTITLE[0]);
}

TEST_F(TextListTest, ItemsBeyondCapacityAreIgnored)
{
    std::string line = "OPTIONTITLE = \"1\" \"2\" \"3\" \"4\" \"5\"\r\nMAKEFOLDER =";
    for (int i = 0; i < 40; ++i)
        line += " \"f" + std::to_string(i) + "\"";
    ASSERT_EQ(1, Load(line + "\r\n"));
    EXPECT_STREQ("3", SetupScript.OPTIONTITLE[2]);
    EXPECT_STREQ("f31", SetupScript.MAKEFOLDER[31]);
    EXPECT_EQ(0, SetupScript.ScreenElements[0].Kind);  // the field after MAKEFOLDER
    std::string names = "SHORTCUTNAME =";
    for (int i = 0; i < 25; ++i)
        names += " \"n " + std::to_string(i) + "\"";
    ASSERT_EQ(1, Load(names + "\r\n"));
    EXPECT_STREQ("n 19", SetupScript.SHORTCUTNAME[19]);
    EXPECT_STREQ("", SetupScript.SHORTCUTLINK[0]);  // the field after SHORTCUTNAME
}

TEST_F(TextListTest, MissingEqualsFailsEvenWithoutItems)
{
    EXPECT_EQ(0, Load("MAKEFOLDER\r\n"));
    StartModelAfresh();
    EXPECT_EQ(0, Load("SHORTCUTNAME \"a\"\r\n"));
    StartModelAfresh();
    EXPECT_EQ(1, Load("DISCNAME = \"last line, no break\" \"x\""));
    EXPECT_STREQ("last line", SetupScript.DISCNAME[0]);
}

}  // namespace
