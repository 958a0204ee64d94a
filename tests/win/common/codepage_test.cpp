#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

// The program is written for the Japanese ANSI code page; the test prefix
// must run with it, and narrow literals must be stored as Shift-JIS.
TEST(CodePage, AnsiCodePageIs932)
{
    EXPECT_EQ(932u, GetACP()) << "GetACP() returned " << GetACP();
}

TEST(CodePage, NarrowLiteralsAreShiftJis)
{
    const unsigned char expected[] = {0x8F, 0x49, 0x97, 0xB9};
    const char* text = "終了";
    ASSERT_EQ(4u, strlen(text));
    EXPECT_EQ(0, memcmp(expected, text, 4));
}

TEST(CodePage, LiteralsRoundTripThroughTheSystemConversion)
{
    wchar_t wide[8] = {};
    ASSERT_EQ(3, MultiByteToWideChar(CP_ACP, 0, "終了", -1, wide, 8));
    EXPECT_EQ(0x7D42, wide[0]);
    EXPECT_EQ(0x4E86, wide[1]);
    // 0x5C stays a backslash in this code page (it is the yen sign in SHIFT_JIS).
    EXPECT_EQ(static_cast<unsigned char>('\\'), static_cast<unsigned char>("ソ\\"[2]));
}
