// Opening the script and the line loop: loose file or archive, line ends,
// comments, and the bytes that end or hide a line.
#include "archive/pak_writer.h"
#include "script_fixture.h"

namespace {

class LoadTest : public ScriptTest { };

void WriteArchive(const std::string& script)
{
    std::vector<PakMemberData> members(2);
    members[0].Name = "TITLE.EPA";
    members[0].Data = {1, 2, 3};
    members[1].Name = "DRUBEL.INI";  // the archive is searched ignoring case
    members[1].Data.assign(script.begin(), script.end());
    std::vector<uint8_t> archive;
    std::string error;
    ASSERT_TRUE(PakBuild(members, false, &archive, &error)) << error;
    WriteBytes("Instdata.pak", archive);
}

TEST_F(LoadTest, NoScriptAnywhereFails)
{
    EXPECT_EQ(0, LoadSetupScript());
    WriteText("Instdata.pak", "not an archive at all");
    EXPECT_EQ(0, LoadSetupScript());
}

TEST_F(LoadTest, ReadsTheArchiveMemberWhenThereIsNoLooseFile)
{
    WriteArchive("APPLITITLE = \"from the archive\"\r\n");
    ASSERT_EQ(1, LoadSetupScript());
    EXPECT_STREQ("from the archive", SetupScript.APPLITITLE);

    StartModelAfresh();
    WriteText("Drubel.ini", "APPLITITLE = \"loose\"\r\n");
    ASSERT_EQ(1, LoadSetupScript());
    EXPECT_STREQ("loose", SetupScript.APPLITITLE);
}

TEST_F(LoadTest, AnEmptyScriptLoadsAndChangesNothing)
{
    SetupScript.DISCNUM = 3;
    EXPECT_EQ(1, Load(""));
    EXPECT_EQ(3u, SetupScript.DISCNUM);
    EXPECT_STREQ("", SetupScript.APPLITITLE);
    EXPECT_EQ(nullptr, GetFileListEntry(0, 0));
    EXPECT_EQ(KindFree, SetupScript.ScreenElements[0].Kind);
    EXPECT_EQ(1, Load("\r\n\r\n\n\r"));
}

TEST_F(LoadTest, LineEndsOfEveryKindSeparateLines)
{
    ASSERT_EQ(
        1, Load("\r\nAPPLITITLE = \"a\"\rSUBTITLE = \"b\"\nEXENAME = \"c\"\r\n\r\n\nREGADDRESS = \"d\""));
    EXPECT_STREQ("a", SetupScript.APPLITITLE);
    EXPECT_STREQ("b", SetupScript.SUBTITLE);
    EXPECT_STREQ("c", SetupScript.EXENAME);
    EXPECT_STREQ("d", SetupScript.REGADDRESS);  // last line without a line break
}

TEST_F(LoadTest, HiddenKeysAndCommentsAreIgnored)
{
    ASSERT_EQ(1,
        Load("// APPLITITLE = \"comment\"\r\n"
             " SUBTITLE = \"blank before\"\r\n"
             "exename = \"lower case\"\r\n"
             "; REGADDRESS = \"other comment styles are plain unknown lines\"\r\n"
             "DISCNAME = \"keys only in upper case\"\r\n"));
    EXPECT_STREQ("", SetupScript.APPLITITLE);
    EXPECT_STREQ("", SetupScript.SUBTITLE);
    EXPECT_STREQ("", SetupScript.EXENAME);
    EXPECT_STREQ("", SetupScript.REGADDRESS);
    EXPECT_STREQ("keys only in upper case", SetupScript.DISCNAME[0]);
}

TEST_F(LoadTest, ByteOrderMarkHidesTheFirstLine)
{
    ASSERT_EQ(1,
        Load("\xEF\xBB\xBF"
             "APPLITITLE = \"a\"\r\nSUBTITLE = \"b\"\r\n"));
    EXPECT_STREQ("", SetupScript.APPLITITLE);
    EXPECT_STREQ("b", SetupScript.SUBTITLE);
}

TEST_F(LoadTest, NulByteEndsTheScript)
{
    ASSERT_EQ(1, Load(Bytes("APPLITITLE = \"a\"\r\n\0SUBTITLE = \"b\"\r\n")));
    EXPECT_STREQ("a", SetupScript.APPLITITLE);
    EXPECT_STREQ("", SetupScript.SUBTITLE);
    ASSERT_EQ(1, Load(Bytes("EXENAME = \"x\0y\"\r\n")));
    EXPECT_STREQ("x", SetupScript.EXENAME);
}

TEST_F(LoadTest, WhatWasStoredBeforeAFailureStays)
{
    EXPECT_EQ(0, Load("APPLITITLE = \"kept\"\r\nSUBTITLE \"no equals\"\r\nEXENAME = \"never read\"\r\n"));
    EXPECT_STREQ("kept", SetupScript.APPLITITLE);
    EXPECT_STREQ("", SetupScript.EXENAME);
}

TEST_F(LoadTest, LoadingTwiceWithoutResetMixesScripts)
{
    ASSERT_EQ(1, Load("APPLITITLE = \"first\"\r\nSUBTITLE = \"first\"\r\nBACK \"A.EPA\" 0 0 NORMAL\r\n"));
    ASSERT_EQ(1, Load("APPLITITLE = \"second\"\r\nBACK \"B.EPA\" 0 0 NORMAL\r\n"));
    EXPECT_STREQ("second", SetupScript.APPLITITLE);
    EXPECT_STREQ("first", SetupScript.SUBTITLE);
    EXPECT_STREQ("A.EPA", SetupScript.ScreenElements[0].ImageFile);
    EXPECT_STREQ("B.EPA", SetupScript.ScreenElements[1].ImageFile);
}

}  // namespace
