// EXEC start-up steps, DISCNUM and DXDISC.
#include "script_fixture.h"

namespace {

class ExecTest : public ScriptTest { };
class DiscLinesTest : public ScriptTest { };

const ExecStep& Step(int k) { return SetupScript.EXEC[k]; }

TEST_F(ExecTest, StepsWithAndWithoutCommas)
{
    ASSERT_EQ(1, Load("EXEC CHANGECD = 1, LOADINIFROMCD = 0 loadinifromhd=7\r\n"));
    EXPECT_EQ(CHANGECD, Step(0).Code);
    EXPECT_EQ(1u, Step(0).Argument);
    EXPECT_EQ(nullptr, Step(0).ArgumentText);
    EXPECT_EQ(LOADINIFROMCD, Step(1).Code);
    EXPECT_EQ(0u, Step(1).Argument);
    EXPECT_EQ(LOADINIFROMHD, Step(2).Code);
    EXPECT_EQ(7u, Step(2).Argument);
    EXPECT_EQ(0, Step(3).Code);
}

TEST_F(ExecTest, CodesAreSignedAndNumbersAreAccepted)
{
    ASSERT_EQ(1, Load("EXEC POPUPMESSAGE = 0x10, 42 = 3\r\n"));
    EXPECT_EQ(static_cast<int32_t>(0x80000001u), Step(0).Code);
    EXPECT_LT(Step(0).Code, 0);
    EXPECT_EQ(16u, Step(0).Argument);
    EXPECT_EQ(42, Step(1).Code);
}

TEST_F(ExecTest, QuotedArgumentEndsTheStepList)
{
    ASSERT_EQ(1, Load("EXEC LOADINIFROMHD = \"Game Folder\\x\" , CHANGECD = 1\r\n"));
    ASSERT_NE(nullptr, Step(0).ArgumentText);
    EXPECT_STREQ("Game Folder\\x", Step(0).ArgumentText);
    EXPECT_EQ(0, Step(1).Code);
}

TEST_F(ExecTest, ArgumentsArePlainNumbers)
{
    ASSERT_EQ(1, Load("EXEC CHANGECD = DISC2, CHANGECD = -1\r\n"));
    EXPECT_EQ(0u, Step(0).Argument);
    EXPECT_EQ(CHANGECD, Step(1).Code);
    EXPECT_EQ(0u, Step(1).Argument);
}

TEST_F(ExecTest, ALaterLineOverwritesFromStepZero)
{
    ASSERT_EQ(1,
        Load("EXEC CHANGECD = 1, LOADINIFROMCD = \"a\"\r\nEXEC LOADINIFROMHD = 5\r\nEXEC UNKNOWN = 9\r\n"));
    EXPECT_EQ(LOADINIFROMHD, Step(0).Code);
    EXPECT_EQ(5u, Step(0).Argument);
    EXPECT_EQ(LOADINIFROMCD, Step(1).Code);  // kept from the first line
    ASSERT_EQ(1, Load("EXEC CHANGECD = 1, CHANGECD = 2\r\n"));
    EXPECT_EQ(nullptr, Step(1).ArgumentText);  // the quoted argument was replaced
    EXPECT_EQ(2u, Step(1).Argument);
}

TEST_F(ExecTest, UnknownCommandsEndTheLineAndMissingEqualsFails)
{
    ASSERT_EQ(1, Load("EXEC\r\nEXEC NOTHING = 1\r\nEXEC CHANGECD = 1, BOGUS = 2, CHANGECD = 3\r\n"));
    EXPECT_EQ(CHANGECD, Step(0).Code);
    EXPECT_EQ(0, Step(1).Code);
    EXPECT_EQ(0, Load("EXEC CHANGECD 1\r\n"));
    EXPECT_EQ(0, Load("EXEC CHANGECD = 1, LOADINIFROMCD\r\n"));
}

TEST_F(ExecTest, StepsBeyondTenAreIgnored)
{
    std::string line = "EXEC";
    for (int i = 1; i <= 12; ++i)
        line += " CHANGECD = " + std::to_string(i);
    ASSERT_EQ(1, Load(line + " LOADINIFROMCD\r\n"));  // the missing '=' lies beyond the list
    EXPECT_EQ(10u, Step(9).Argument);
    EXPECT_EQ(0u, SetupScript.DISCNUM);  // the field after the steps
}

TEST_F(DiscLinesTest, DiscNumNeedsANonZeroNumber)
{
    ASSERT_EQ(1, Load("DISCNUM = 2\r\n"));
    EXPECT_EQ(2u, SetupScript.DISCNUM);
    ASSERT_EQ(1, Load("DISCNUM=0x3"));
    EXPECT_EQ(3u, SetupScript.DISCNUM);
    EXPECT_EQ(0, Load("DISCNUM = 0\r\n"));
    EXPECT_EQ(0, Load("DISCNUM = two\r\n"));
    EXPECT_EQ(0, Load("DISCNUM 2\r\n"));
    EXPECT_EQ(3u, SetupScript.DISCNUM);
}

TEST_F(DiscLinesTest, DxDiscListsNonZeroNumbers)
{
    ASSERT_EQ(1, Load("DXDISC = 2 3,x\t4"));  // last line without a line break
    EXPECT_EQ(2u, SetupScript.DXDISC[0]);
    EXPECT_EQ(3u, SetupScript.DXDISC[1]);
    EXPECT_EQ(4u, SetupScript.DXDISC[2]);
    EXPECT_EQ(0u, SetupScript.DXDISC[3]);
    EXPECT_EQ(1, Load("DXDISC =\r\n"));
    EXPECT_EQ(0, Load("DXDISC = 1 0 2\r\n"));
    EXPECT_EQ(0, Load("DXDISC 1\r\n"));
    ASSERT_EQ(1, Load("DXDISC = 1 2 3 4 5 6 7 8 9 10 11 0\r\n"));
    EXPECT_EQ(10u, SetupScript.DXDISC[9]);
    EXPECT_STREQ("", SetupScript.DXMESSAGE);  // the field after the list
}

}  // namespace
