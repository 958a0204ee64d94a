#include "common/text.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(BoundedText, CopyCutsAtTheFieldAndReportsIt)
{
    char field[8];
    EXPECT_TRUE(CopyText(field, "1234567"));
    EXPECT_STREQ("1234567", field);
    EXPECT_FALSE(CopyText(field, "123456789"));
    EXPECT_STREQ("1234567", field);
    EXPECT_FALSE(CopyText(field, 0, "x"));
    EXPECT_TRUE(CopyTextN(field, sizeof field, "abcdef", 3));
    EXPECT_STREQ("abc", field);
}

TEST(BoundedText, CopyNeverSplitsATwoByteCharacter)
{
    // Six bytes of text then a two-byte character that would straddle the end.
    char field[8];
    EXPECT_FALSE(CopyText(field, "123456終"));
    EXPECT_STREQ("123456", field);
    EXPECT_TRUE(CopyText(field, "12345終"));
    EXPECT_STREQ("12345終", field);
}

TEST(BoundedText, AppendAndFormatReportCuts)
{
    char buffer[10] = "abc";
    EXPECT_TRUE(AppendText(buffer, "def"));
    EXPECT_STREQ("abcdef", buffer);
    EXPECT_FALSE(AppendText(buffer, "ghijk"));
    EXPECT_STREQ("abcdefghi", buffer);
    EXPECT_TRUE(FormatText(buffer, sizeof buffer, "%s %d", "ab", 42));
    EXPECT_STREQ("ab 42", buffer);
    EXPECT_FALSE(FormatText(buffer, sizeof buffer, "%s", "0123456789"));
}

TEST(PathText, TrailingBackslashIsCutOnceAndNeverFromATrailByte)
{
    char path[32] = "C:\\Games\\";
    CutTrailingBackslash(path);
    EXPECT_STREQ("C:\\Games", path);
    CutTrailingBackslash(path);
    EXPECT_STREQ("C:\\Games", path);
    char twice[] = "C:\\\\";
    CutTrailingBackslash(twice);
    EXPECT_STREQ("C:\\", twice);
    // "ソ" ends in 0x5C; cutting it would corrupt the folder name.
    char so[] = "C:\\ソ";
    CutTrailingBackslash(so);
    EXPECT_STREQ("C:\\ソ", so);
    char one[] = "\\";
    CutTrailingBackslash(one);
    EXPECT_STREQ("", one);
}

TEST(PathText, JoinCutsOneBackslashAndRefusesToCut)
{
    char out[16];
    EXPECT_TRUE(JoinPath(out, "C:\\", "Game"));
    EXPECT_STREQ("C:\\Game", out);
    EXPECT_TRUE(JoinPath(out, "C:", "Game"));
    EXPECT_STREQ("C:\\Game", out);
    EXPECT_TRUE(JoinPath(out, "ソ", "x"));
    EXPECT_STREQ("ソ\\x", out);
    EXPECT_FALSE(JoinPath(out, "C:\\Folder", "LongName.txt"));
    EXPECT_STREQ("", out);
    char self[32] = "C:\\Base\\";
    EXPECT_TRUE(JoinPath(self, self, "Sub"));
    EXPECT_STREQ("C:\\Base\\Sub", self);
}

TEST(PathText, LastBackslashSkipsTrailBytes)
{
    const char* text = "a\\ソb";
    EXPECT_EQ(text + 1, FindLastBackslash(text));
    EXPECT_EQ(nullptr, FindLastBackslash("ソ"));
    EXPECT_TRUE(EqualNoCaseN("Title.EPA", "TITLE.epa", 9));
    EXPECT_TRUE(EqualNoCaseN("ソa", "ソA", 3));
    // Trail bytes in the letter range are compared exactly: "ァ" is 83 40, "チ" 83 60.
    EXPECT_FALSE(EqualNoCaseN("\x83\x41", "\x83\x61", 2));
    EXPECT_TRUE(EqualNoCaseN("ab", "AB\x01", 2));
}
